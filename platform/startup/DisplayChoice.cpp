#include "DisplayChoice.h"

#include <QDir>
#include <QLibraryInfo>
#include <QStringList>

#include <xcb/xcb.h>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>

namespace vidlatch::platform {
namespace {

// libwayland's compositor when WAYLAND_DISPLAY is unset.
constexpr char DefaultWaylandDisplay[] = "wayland-0";

QString X11Problem(const QString& display)
{
    return display.isEmpty() ? QStringLiteral("DISPLAY is not set")
                             : QStringLiteral("cannot connect to display %1").arg(display);
}

QString WaylandProblem(const QString& display, const DisplayProbes& probes)
{
    if (!probes.waylandAnswers(display))
        return QStringLiteral("cannot connect to the Wayland display %1").arg(display);
    if (!probes.waylandPluginInstalled())
        return QStringLiteral("Qt's Wayland plugin (package qt6-wayland) is not installed");
    return {};
}

QString NoDisplay(QStringList reasons, const QString& platform)
{
    reasons.removeDuplicates();
    const QString asked = platform.isEmpty() ? QString() : QStringLiteral(" for the platform '%1'").arg(platform);
    return QStringLiteral("no display%1: %2; Vidlatch needs a graphical desktop")
        .arg(asked, reasons.join(QStringLiteral(" and ")));
}

DisplayChoice ChooseNamedPlatform(const DisplaySettings& settings, const DisplayProbes& probes)
{
    QStringList reasons;
    for (const QString& plugin : settings.platform.split(u';', Qt::SkipEmptyParts)) {
        const QString name = plugin.section(u':', 0, 0);  // the plugin's arguments follow a colon
        if (name == u"xcb") {
            if (!settings.x11Display.isEmpty() && probes.x11Answers(settings.x11Display))
                return {};
            reasons << X11Problem(settings.x11Display);
        } else if (name.startsWith(u"wayland")) {
            const QString display = settings.waylandDisplay.isEmpty() ? QString::fromLatin1(DefaultWaylandDisplay)
                                                                      : settings.waylandDisplay;
            const QString problem = WaylandProblem(display, probes);
            if (problem.isEmpty())
                return {};
            reasons << problem;
        } else {
            return {};
        }
    }
    if (reasons.isEmpty())
        return {};
    return {{}, NoDisplay(reasons, settings.platform)};
}

} // namespace

DisplayChoice ChooseDisplay(const DisplaySettings& settings, const DisplayProbes& probes)
{
    if (!settings.platform.isEmpty())
        return ChooseNamedPlatform(settings, probes);
    if (!settings.x11Display.isEmpty() && probes.x11Answers(settings.x11Display))
        return {};
    QStringList reasons{X11Problem(settings.x11Display)};
    if (settings.waylandDisplay.isEmpty()) {
        reasons << QStringLiteral("no Wayland session was found");
    } else {
        const QString problem = WaylandProblem(settings.waylandDisplay, probes);
        if (problem.isEmpty())
            return {QStringLiteral("wayland"), {}};
        reasons << problem;
    }
    return {{}, NoDisplay(reasons, {})};
}

DisplaySettings DisplaySettingsHere(const QString& platformOption, const QString& displayOption)
{
    return {platformOption.isEmpty() ? qEnvironmentVariable("QT_QPA_PLATFORM") : platformOption,
            displayOption.isEmpty() ? qEnvironmentVariable("DISPLAY") : displayOption,
            qEnvironmentVariable("WAYLAND_DISPLAY")};
}

DisplayProbes SystemDisplayProbes()
{
    DisplayProbes probes;
    probes.x11Answers = [](const QString& display) {
        xcb_connection_t* connection = xcb_connect(display.toLocal8Bit().constData(), nullptr);
        const bool answers = xcb_connection_has_error(connection) == 0;
        xcb_disconnect(connection);
        return answers;
    };
    probes.waylandAnswers = [](const QString& display) {
        QByteArray path = display.toLocal8Bit();
        if (!path.startsWith('/')) {
            const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
            if (runtime.isEmpty())
                return false;  // libwayland finds no socket either
            path = runtime + '/' + path;
        }
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        if (path.size() >= qsizetype(sizeof address.sun_path))
            return false;
        std::memcpy(address.sun_path, path.constData(), path.size());
        const int socket = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (socket < 0)
            return false;
        const bool answers = ::connect(socket, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
        ::close(socket);
        return answers;
    };
    probes.waylandPluginInstalled = [] {
        QStringList folders{QLibraryInfo::path(QLibraryInfo::PluginsPath) + QStringLiteral("/platforms")};
        for (const QString& path : qEnvironmentVariable("QT_PLUGIN_PATH").split(u':', Qt::SkipEmptyParts))
            folders << path + QStringLiteral("/platforms");
        if (const QString path = qEnvironmentVariable("QT_QPA_PLATFORM_PLUGIN_PATH"); !path.isEmpty())
            folders << path;
        for (const QString& folder : folders) {
            if (!QDir(folder).entryList({QStringLiteral("libqwayland-*.so")}, QDir::Files).isEmpty())
                return true;
        }
        return false;
    };
    return probes;
}

} // namespace vidlatch::platform
