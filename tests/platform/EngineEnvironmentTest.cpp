// The web engine's log level, kept to fatal errors unless the user chose
// one, and whether the engine can start as root.
#include "EngineEnvironment.h"

#include <gtest/gtest.h>

namespace vidlatch::platform {
namespace {

TEST(EngineEnvironment, LogLevelAddedUnlessTheUserSetOne)
{
    const std::pair<const char*, const char*> cases[] = {
        {"   ", "--log-level=3"},
        {"--disable-gpu", "--disable-gpu --log-level=3"},
        {"--enable-logging -log-level=1", "--enable-logging -log-level=1"},
        {" --x\t--log-level ", " --x\t--log-level "},
        {"--log-levels=0 log-level=0", "--log-levels=0 log-level=0 --log-level=3"},
    };
    for (const auto& [flags, result] : cases)
        EXPECT_EQ(ChromiumFlagsWithQuietLog(flags).toStdString(), result) << flags;
    // The same rule for the player's WebAssembly: the user's own --js-flags win.
    EXPECT_EQ(ChromiumFlagsWithLazyWebAssembly(" ").toStdString(), "--js-flags=--wasm-lazy-compilation");
    EXPECT_EQ(ChromiumFlagsWithLazyWebAssembly("--js-flags=--jitless").toStdString(), "--js-flags=--jitless");
}

TEST(EngineEnvironment, RootNeedsTheSandboxSwitchedOff)
{
    EXPECT_TRUE(SandboxProblem(false, false, "").isEmpty());
    EXPECT_TRUE(SandboxProblem(true, false, "").contains(QLatin1String("QTWEBENGINE_DISABLE_SANDBOX=1")));
    EXPECT_TRUE(SandboxProblem(true, true, "").isEmpty());
    EXPECT_TRUE(SandboxProblem(true, false, "--disable-gpu -no-sandbox").isEmpty());
    EXPECT_FALSE(SandboxProblem(true, false, "--no-sandboxing --sandbox").isEmpty());
}

} // namespace
} // namespace vidlatch::platform
