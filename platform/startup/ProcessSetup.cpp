#include "ProcessSetup.h"

#include "EngineEnvironment.h"
#include "PreviewProfile.h"
#include "ScreenReader.h"

#include <QCoreApplication>

#include <malloc.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vidlatch::platform {
namespace {

// Where no session bus runs, the first D-Bus user (Qt's accessibility
// bridge at start-up, the web engine's power-save blocker and media controls
// once sound plays) has libdbus autolaunch one: a dbus-daemon that outlives
// the program and writes ~/.dbus/session-bus/. libdbus refuses the address
// "disabled:" at once, so every D-Bus user here and in the web engine's
// helpers (they inherit the environment) finds no bus instead. A running bus
// is left alone: one the variable names, or the user's own socket at
// $XDG_RUNTIME_DIR/bus, which libdbus takes when the variable is unset.
void KeepFromAutolaunchingABus()
{
    if (!qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS"))
        return;
    if (const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR"); !runtime.isEmpty()) {
        struct stat bus {};
        if (::lstat((runtime + "/bus").constData(), &bus) == 0 && S_ISSOCK(bus.st_mode) && bus.st_uid == ::getuid())
            return;
    }
    qputenv("DBUS_SESSION_BUS_ADDRESS", "disabled:");
}

} // namespace

void PrepareApplication()
{
    KeepFromAutolaunchingABus();
    // The program writes no files. Qt's shader cache and Mesa's (which Mesa
    // keeps under the account's cache folder, found even past a changed HOME)
    // are switched off here, before any window, for the web engine's helper
    // processes too: they inherit the environment.
    QCoreApplication::setAttribute(Qt::AA_DisableShaderDiskCache);
    // Frame-sized buffers come and go with every movie and page. glibc would
    // raise its mmap threshold after the first is freed and serve the rest
    // from the heap, which then only grows; a fixed threshold keeps them in
    // their own mappings, given back when freed.
    mallopt(M_MMAP_THRESHOLD, 128 * 1024);
    qputenv("MESA_SHADER_CACHE_DISABLE", "true");
    qputenv("MESA_GLSL_CACHE_DISABLE", "true");
    StartWebAssemblyQuickly();
    RefuseSharedWorkers();
    PreparePreviewProcess();
    ExposeWebPagesToScreenReaders();
}

} // namespace vidlatch::platform
