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
// starts sooner and its renderer holds less. The engine then compiles again,
// with its optimizing compiler, each function that has run a while; by
// default so soon that on two cores the player's start waited behind it (a
// second of such work in the player's first third of a second). With a
// larger budget only what keeps running, a movie's loops and decoders, is
// optimized, a second or two in. The user's own --js-flags, and their own
// word on the feature, win.
[[nodiscard]] QByteArray ChromiumFlagsWithQuickWebAssembly(const QByteArray& flags);
void StartWebAssemblyQuickly();

// A page's shared worker runs apart from any page, and the web engine asks
// the browsers' request rule nothing of the WebSockets it opens: no page
// gets one (the constructor is gone from every frame), whatever the user's
// own --disable-blink-features.
[[nodiscard]] QByteArray ChromiumFlagsWithoutSharedWorkers(const QByteArray& flags);
void RefuseSharedWorkers();

// Chromium refuses its sandbox to root, in words of its own and with a
// crash. Why the engine cannot start, in one line, or empty when it can:
// as an ordinary user, or with the sandbox switched off by
// QTWEBENGINE_DISABLE_SANDBOX (which the engine takes whatever its value)
// or by --no-sandbox in the flags.
[[nodiscard]] QString SandboxProblem(bool root, bool sandboxVariableSet, const QByteArray& chromiumFlags);
[[nodiscard]] QString SandboxProblemHere();

} // namespace vidlatch::platform
