#include "EngineEnvironment.h"

#include <QList>
#include <QLoggingCategory>

#include <algorithm>
#include <unistd.h>

namespace vidlatch::platform {
namespace {

constexpr char ChromiumFlagsVariable[] = "QTWEBENGINE_CHROMIUM_FLAGS";

// Chromium takes a switch after "--" or "-", with or without "=value":
// each of `flags`' switches as {name, value}.
QList<std::pair<QByteArray, QByteArray>> Switches(const QByteArray& flags)
{
    QList<std::pair<QByteArray, QByteArray>> switches;
    for (QByteArray word : flags.simplified().split(' ')) {
        if (word.startsWith("--"))
            word.remove(0, 2);
        else if (word.startsWith('-'))
            word.remove(0, 1);
        else
            continue;
        const qsizetype equals = word.indexOf('=');
        switches.append(equals < 0 ? std::pair{word, QByteArray()} : std::pair{word.left(equals), word.mid(equals + 1)});
    }
    return switches;
}

QByteArray Appended(const QByteArray& flags, const QByteArray& added)
{
    return flags.trimmed().isEmpty() ? added : flags + ' ' + added;
}

bool HasSwitch(const QByteArray& flags, QByteArrayView name)
{
    const auto switches = Switches(flags);
    return std::any_of(switches.begin(), switches.end(), [name](const auto& each) { return each.first == name; });
}

// `flags` with `value` in the comma list of the switch `name`, joining the
// user's own, unless the user's switches `respected` name it already.
QByteArray WithListed(const QByteArray& flags, QByteArrayView name, std::initializer_list<QByteArrayView> respected,
                      const QByteArray& value)
{
    for (const auto& [each, values] : Switches(flags)) {
        if (std::find(respected.begin(), respected.end(), QByteArrayView(each)) != respected.end() &&
            values.split(',').contains(value))
            return flags;
    }
    QList<QByteArray> words = flags.simplified().split(' ');
    for (QByteArray& word : words) {
        for (const QByteArray& prefix : {"--" + name.toByteArray() + '=', '-' + name.toByteArray() + '='}) {
            if (word.startsWith(prefix)) {
                word += (word.endsWith('=') ? "" : ",") + value;
                return words.join(' ');
            }
        }
    }
    return Appended(flags, "--" + name.toByteArray() + '=' + value);
}

// `flags` with the engine's `feature` enabled, unless they enable or
// disable it already; it joins the user's own --enable-features.
QByteArray WithFeature(const QByteArray& flags, const QByteArray& feature)
{
    return WithListed(flags, "enable-features", {"enable-features", "disable-features"}, feature);
}

// `flags` with `added`, unless they set the switch `name` already.
QByteArray WithSwitch(const QByteArray& flags, QByteArrayView name, const QByteArray& added)
{
    return HasSwitch(flags, name) ? flags : Appended(flags, added);
}

} // namespace

QByteArray ChromiumFlagsWithQuietLog(const QByteArray& flags)
{
    return WithSwitch(flags, "log-level", "--log-level=3");
}

QByteArray ChromiumFlagsWithQuickWebAssembly(const QByteArray& flags)
{
    return WithSwitch(WithFeature(flags, "WebAssemblyLazyCompilation"), "js-flags",
                      "--js-flags=--wasm-tiering-budget=1000000000");
}

void StartWebAssemblyQuickly()
{
    qputenv(ChromiumFlagsVariable, ChromiumFlagsWithQuickWebAssembly(qgetenv(ChromiumFlagsVariable)));
}

QByteArray ChromiumFlagsWithoutSharedWorkers(const QByteArray& flags)
{
    return WithListed(flags, "disable-blink-features", {"disable-blink-features"}, "SharedWorker");
}

void RefuseSharedWorkers()
{
    qputenv(ChromiumFlagsVariable, ChromiumFlagsWithoutSharedWorkers(qgetenv(ChromiumFlagsVariable)));
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
