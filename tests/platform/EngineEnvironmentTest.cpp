// The web engine's log level, kept to fatal errors unless the user chose
// one, the player's WebAssembly switches, and whether the engine can start
// as root.
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
}

// The player's WebAssembly: compiled lazily and optimized late, unless the
// user's own flags say otherwise; the feature joins their own list.
TEST(EngineEnvironment, WebAssemblyFlagsAddedUnlessTheUserSetThem)
{
    constexpr char Budget[] = "--js-flags=--wasm-tiering-budget=1000000000";
    const std::pair<std::string, std::string> cases[] = {
        {" ", "--enable-features=WebAssemblyLazyCompilation " + std::string(Budget)},
        {"--js-flags=--jitless", "--js-flags=--jitless --enable-features=WebAssemblyLazyCompilation"},
        {"--enable-features=A,B --js-flags=--x", "--enable-features=A,B,WebAssemblyLazyCompilation --js-flags=--x"},
        {"-enable-features= --js-flags", "-enable-features=WebAssemblyLazyCompilation --js-flags"},
        {"--disable-features=X,WebAssemblyLazyCompilation", "--disable-features=X,WebAssemblyLazyCompilation " +
                                                                std::string(Budget)},
        {"--enable-features=WebAssemblyLazyCompilationX",
         "--enable-features=WebAssemblyLazyCompilationX,WebAssemblyLazyCompilation " + std::string(Budget)},
    };
    for (const auto& [flags, result] : cases)
        EXPECT_EQ(ChromiumFlagsWithQuickWebAssembly(QByteArray::fromStdString(flags)).toStdString(), result) << flags;
}

TEST(EngineEnvironment, SharedWorkersRefusedWhateverTheUsersFlags)
{
    const std::pair<std::string, std::string> cases[] = {
        {"", "--disable-blink-features=SharedWorker"},
        {"--disable-blink-features=A", "--disable-blink-features=A,SharedWorker"},
        {"-disable-blink-features=SharedWorker --x", "-disable-blink-features=SharedWorker --x"},
        {"--enable-blink-features=SharedWorker", "--enable-blink-features=SharedWorker --disable-blink-features=SharedWorker"},
    };
    for (const auto& [flags, result] : cases)
        EXPECT_EQ(ChromiumFlagsWithoutSharedWorkers(QByteArray::fromStdString(flags)).toStdString(), result) << flags;
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
