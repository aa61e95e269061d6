#include "ProgramOptions.h"

#include <QCommandLineParser>
#include <QtWebEngineCore/qtwebenginecoreglobal.h>

namespace vidlatch::ui {
namespace {

// Those QGuiApplication, QApplication and the xcb plugin take off the
// command line, with a value and without.
constexpr const char* QtValueOptions[] = {
    "platform", "platformpluginpath", "platformtheme", "plugin", "qwindowgeometry", "qwindowicon",
    "qwindowtitle", "session", "display", "name", "geometry", "title", "icon", "style", "stylesheet",
};
constexpr const char* QtFlagOptions[] = {"reverse", "widgetcount"};

void AddQtOption(QCommandLineParser& parser, const char* name, bool takesValue)
{
    QCommandLineOption option(QString::fromLatin1(name));
    if (takesValue)
        option.setValueName(QStringLiteral("value"));
    option.setFlags(QCommandLineOption::HiddenFromHelp);
    parser.addOption(option);
}

} // namespace

ProgramOptions ReadProgramOptions(const QStringList& arguments)
{
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);  // Qt's are -platform, -style, ...
    parser.setApplicationDescription(QStringLiteral(
        "Finds the address of a video site's embeddable player for one video, plays it in a\n"
        "preview and copies it. Its windows need a graphical desktop (X11 or Wayland).\n"
        "Qt's own options, such as -platform, -display and -style, are taken too."));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("Show this help."));
    const QCommandLineOption version(QStringLiteral("version"), QStringLiteral("Show the version."));
    parser.addOption(help);
    parser.addOption(version);
    for (const char* name : QtValueOptions)
        AddQtOption(parser, name, true);
    for (const char* name : QtFlagOptions)
        AddQtOption(parser, name, false);

    ProgramOptions options;
    const bool parsed = parser.parse(arguments);
    if (parser.isSet(help)) {
        options.action = ProgramOptions::Action::Help;
        // Read before any QCoreApplication, the parser does not know the program's name.
        options.text = parser.helpText().replace(QStringLiteral("<executable_name>"), QStringLiteral("vidlatch"));
    } else if (parser.isSet(version)) {
        options.action = ProgramOptions::Action::Version;
        // The browsers' engine gets no security updates from the distribution:
        // which one this is, and how far its fixes reach, is worth knowing.
        options.text = QStringLiteral("vidlatch " VIDLATCH_VERSION "\n"
                                      "web engine: Qt WebEngine %1, Chromium %2 (security fixes up to Chromium %3)\n")
                           .arg(QLatin1StringView(qWebEngineVersion()), QLatin1StringView(qWebEngineChromiumVersion()),
                                QLatin1StringView(qWebEngineChromiumSecurityPatchVersion()));
    } else if (!parsed) {
        options.action = ProgramOptions::Action::UsageError;
        options.text = parser.errorText();
    } else if (const QStringList stray = parser.positionalArguments(); !stray.isEmpty()) {
        options.action = ProgramOptions::Action::UsageError;
        options.text = QStringLiteral("unexpected argument '%1': Vidlatch takes no arguments").arg(stray.first());
    } else {
        options.platform = parser.value(QStringLiteral("platform"));
        options.display = parser.value(QStringLiteral("display"));
        options.instanceNamed = parser.isSet(QStringLiteral("name"));
    }
    return options;
}

} // namespace vidlatch::ui
