#pragma once

#include <QByteArray>
#include <QString>

namespace vidlatch::platform {

// The web engine reads its switches and Qt its logging rules from the
// environment, and hands both on to its helper processes.

// Chromium's diagnostics (GPU fallbacks and WebGL errors on virtual
// displays and the like) are for its developers: the engine logs fatal
// errors only, unless the user's own QTWEBENGINE_CHROMIUM_FLAGS set a
// --log-level. Qt's note on the engine's start goes too, unless the user's
// QT_LOGGING_RULES say otherwise.
[[nodiscard]] QByteArray ChromiumFlagsWithQuietLog(const QByteArray& flags);
void QuietWebEngineLogs();

// The preview's player is 14 MB of WebAssembly, of which a movie runs a
// small part: compiled function by function as it is first called, it
// starts sooner and its renderer holds less, unless the user's own flags set
// --js-flags.
[[nodiscard]] QByteArray ChromiumFlagsWithLazyWebAssembly(const QByteArray& flags);
void CompileWebAssemblyLazily();

// Chromium refuses its sandbox to root, in words of its own and with a
// crash. Why the engine cannot start, in one line, or empty when it can:
// as an ordinary user, or with the sandbox switched off by
// QTWEBENGINE_DISABLE_SANDBOX (which the engine takes whatever its value)
// or by --no-sandbox in the flags.
[[nodiscard]] QString SandboxProblem(bool root, bool sandboxVariableSet, const QByteArray& chromiumFlags);
[[nodiscard]] QString SandboxProblemHere();

} // namespace vidlatch::platform
