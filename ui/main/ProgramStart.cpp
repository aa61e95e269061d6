#include "ProgramStart.h"

#include "DisplayChoice.h"
#include "EngineEnvironment.h"
#include "ProcessSetup.h"
#include "ProgramOptions.h"

#include <QStringList>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace vidlatch::ui {
namespace {

constexpr int CannotStartStatus = 1;
constexpr int UsageStatus = 2;

int SayWhy(const QString& line)
{
    std::fprintf(stderr, "vidlatch: %s\n", line.toLocal8Bit().constData());
    return CannotStartStatus;
}

int Print(const QString& text)
{
    const QByteArray bytes = text.toLocal8Bit();
    errno = 0;
    if (std::fwrite(bytes.constData(), 1, bytes.size(), stdout) == std::size_t(bytes.size()) && std::fflush(stdout) == 0)
        return 0;
    return SayWhy(QStringLiteral("writing standard output: %1").arg(QString::fromLocal8Bit(std::strerror(errno ? errno : EIO))));
}

} // namespace

ProgramStart::ProgramStart(int argc, char** argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const ProgramOptions options = ReadProgramOptions(arguments);
    switch (options.action) {
    case ProgramOptions::Action::Help:
    case ProgramOptions::Action::Version:
        exitStatus_ = Print(options.text);
        return;
    case ProgramOptions::Action::UsageError:
        SayWhy(options.text);
        std::fputs("Try 'vidlatch --help'.\n", stderr);
        exitStatus_ = UsageStatus;
        return;
    case ProgramOptions::Action::Run:
        break;
    }
    if (const QString problem = platform::SandboxProblemHere(); !problem.isEmpty()) {
        exitStatus_ = SayWhy(problem);
        return;
    }
    const platform::DisplayChoice display = platform::ChooseDisplay(
        platform::DisplaySettingsHere(options.platform, options.display), platform::SystemDisplayProbes());
    if (!display.problem.isEmpty()) {
        exitStatus_ = SayWhy(display.problem);
        return;
    }
    platform::QuietWebEngineLogs();

    qtArguments_.assign(argv, argv + argc);
    if (!display.platform.isEmpty()) {
        qtArguments_.emplace_back("-platform");
        qtArguments_.push_back(display.platform.toLocal8Bit());
    }
    // Qt's xcb plugin takes the WM_CLASS instance from -name, else from
    // RESOURCE_NAME, else from the executable's name; the user's own wins.
    if (!options.instanceNamed && !qEnvironmentVariableIsSet("RESOURCE_NAME")) {
        qtArguments_.emplace_back("-name");
        qtArguments_.emplace_back(DesktopId);
    }
    for (QByteArray& argument : qtArguments_)
        qtArgv_.push_back(argument.data());
    qtArgc_ = int(qtArguments_.size());
    qtArgv_.push_back(nullptr);

    platform::PrepareApplication();
}

} // namespace vidlatch::ui
