// What the web engine is told through the environment: its log level, kept
// to fatal errors unless the user chose one, and whether it can start as root.
#include "EngineEnvironment.h"

#include <gtest/gtest.h>

namespace vidlatch::platform {
namespace {

TEST(EngineEnvironment, LogLevelAddedUnlessTheUserSetOne)
{
    struct Case { const char* flags; const char* result; };
    const Case cases[] = {
        {"", "--log-level=3"},
        {"   ", "--log-level=3"},
        {"--disable-gpu", "--disable-gpu --log-level=3"},
        {"--log-level=0", "--log-level=0"},
        {"--enable-logging -log-level=1", "--enable-logging -log-level=1"},
        {" --x\t--log-level ", " --x\t--log-level "},
        {"--log-levels=0 --vlog-level=1", "--log-levels=0 --vlog-level=1 --log-level=3"},
        {"log-level=0", "log-level=0 --log-level=3"},  // no switch without its dash
    };
    for (const Case& c : cases)
        EXPECT_EQ(ChromiumFlagsWithQuietLog(c.flags).toStdString(), c.result) << c.flags;
}

TEST(EngineEnvironment, RootNeedsTheSandboxSwitchedOff)
{
    struct Case { bool root; bool variable; const char* flags; bool refused; };
    const Case cases[] = {
        {false, false, "", false},
        {true, false, "", true},
        {true, true, "", false},
        {true, false, "--disable-gpu --no-sandbox", false},
        {true, false, "-no-sandbox", false},
        {true, false, "--no-sandboxing --sandbox", true},
    };
    for (const Case& c : cases) {
        const QString problem = SandboxProblem(c.root, c.variable, c.flags);
        EXPECT_EQ(!problem.isEmpty(), c.refused) << c.root << c.variable << c.flags;
        EXPECT_EQ(problem.contains(QLatin1String("QTWEBENGINE_DISABLE_SANDBOX=1")), c.refused) << problem.toStdString();
    }
}

} // namespace
} // namespace vidlatch::platform
