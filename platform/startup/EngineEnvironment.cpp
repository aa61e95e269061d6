#include "EngineEnvironment.h"

#include <QList>
#include <QLoggingCategory>

#include <unistd.h>

namespace vidlatch::platform {
namespace {

constexpr char ChromiumFlagsVariable[] = "QTWEBENGINE_CHROMIUM_FLAGS";

// Chromium takes a switch after "--" or "-", with or without "=value".
bool HasSwitch(const QByteArray& flags, QByteArrayView name)
{
    for (QByteArray word : flags.simplified().split(' ')) {
        if (word.startsWith("--"))
            word.remove(0, 2);
        else if (word.startsWith('-'))
            word.remove(0, 1);
        else
            continue;
        if (const qsizetype equals = word.indexOf('='); equals >= 0)
            word.truncate(equals);
        if (word == name)
            return true;
    }
    return false;
}

// `flags` with `added`, unless they set the switch `name` already.
QByteArray WithSwitch(const QByteArray& flags, QByteArrayView name, const QByteArray& added)
{
    if (HasSwitch(flags, name))
        return flags;
    return flags.trimmed().isEmpty() ? added : flags + ' ' + added;
}

} // namespace

QByteArray ChromiumFlagsWithQuietLog(const QByteArray& flags)
{
    return WithSwitch(flags, "log-level", "--log-level=3");
}

QByteArray ChromiumFlagsWithLazyWebAssembly(const QByteArray& flags)
{
    return WithSwitch(flags, "js-flags", "--js-flags=--wasm-lazy-compilation");
}

void CompileWebAssemblyLazily()
{
    qputenv(ChromiumFlagsVariable, ChromiumFlagsWithLazyWebAssembly(qgetenv(ChromiumFlagsVariable)));
}

void QuietWebEngineLogs()
{
    qputenv(ChromiumFlagsVariable, ChromiumFlagsWithQuietLog(qgetenv(ChromiumFlagsVariable)));
    // Qt's libraries read QT_LOGGING_RULES while they load, before main():
    // the rule goes in through the API, whose rules those of the variable
    // override.
    QLoggingCategory::setFilterRules(QStringLiteral("qt.webenginecontext.info=false"));
}

QString SandboxProblem(bool root, bool sandboxVariableSet, const QByteArray& chromiumFlags)
{
    if (!root || sandboxVariableSet || HasSwitch(chromiumFlags, "no-sandbox"))
        return {};
    return QStringLiteral(
        "refusing to run as root: the web engine's sandbox does not work for root; run Vidlatch as an "
        "ordinary user (or set QTWEBENGINE_DISABLE_SANDBOX=1 at your own risk)");
}

QString SandboxProblemHere()
{
    return SandboxProblem(::geteuid() == 0, qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX"),
                          qgetenv(ChromiumFlagsVariable));
}

} // namespace vidlatch::platform
