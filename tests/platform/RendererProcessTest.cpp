#include "RendererProcess.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>

#include <sys/wait.h>
#include <unistd.h>

namespace vidlatch::platform {
namespace {

// A child that waits to be ended.
pid_t StartChild()
{
    const pid_t pid = ::fork();
    if (pid == 0) {
        for (;;)
            ::pause();
    }
    return pid;
}

// Waits for the child to end: the signal that ended it.
int EndedBy(pid_t pid)
{
    int status = 0;
    if (::waitpid(pid, &status, 0) != pid)
        return 0;
    return WIFSIGNALED(status) ? WTERMSIG(status) : -1;
}

// The kernel's answers, or a kernel without pidfds, and start times that a
// test can move on as if the number had gone to a new process.
int pidfdErrno = 0;
int pidfdOpens = 0;
quint64 startShift = 0;
bool procHidden = false;  // no start time can be read
const RendererProcess::System Faked{
    [](pid_t pid) {
        ++pidfdOpens;
        if (pidfdErrno == 0)
            return RendererProcess::Kernel.pidfdOpen(pid);
        errno = pidfdErrno;
        return -1;
    },
    [](pid_t pid) {
        const auto started = RendererProcess::Kernel.startTime(pid);
        return started && !procHidden ? std::optional(*started + startShift) : std::nullopt;
    },
    RendererProcess::Kernel.demand,
};

TEST(RendererProcess, EndsItsOwnRendererAndNoOtherProcess)
{
    struct Row { const char* kernel; int pidfdErrno; };
    for (const Row kernel : {Row{"pidfd", 0}, Row{"no pidfd_open", ENOSYS}, Row{"pidfd_open filtered", EPERM}}) {
        pidfdErrno = kernel.pidfdErrno;
        SCOPED_TRACE(kernel.kernel);
        {
            // A running renderer is ended.
            startShift = 0;
            const pid_t child = StartChild();
            ASSERT_GT(child, 0);
            RendererProcess renderer(Faked);
            renderer.Track(child);
            EXPECT_EQ(renderer.ByPidfd(), kernel.pidfdErrno == 0);
            EXPECT_TRUE(renderer.End());
            EXPECT_EQ(EndedBy(child), SIGKILL);
        }
        {
            // One that is gone already counts as ended.
            const pid_t child = StartChild();
            ASSERT_GT(child, 0);
            RendererProcess renderer(Faked);
            renderer.Track(child);
            ASSERT_EQ(::kill(child, SIGKILL), 0);
            ASSERT_EQ(EndedBy(child), SIGKILL);
            EXPECT_TRUE(renderer.End());
        }
        {
            // Nothing known: nothing ended.
            RendererProcess renderer(Faked);
            renderer.Track(0);
            EXPECT_FALSE(renderer.End());
        }
        {
            // The number taken by a new renderer, tracked anew: that one is ended.
            startShift = 0;
            pidfdOpens = 0;
            const pid_t child = StartChild();
            ASSERT_GT(child, 0);
            RendererProcess renderer(Faked);
            renderer.Track(child);
            renderer.Track(child);  // the same process: nothing to do
            EXPECT_EQ(pidfdOpens, 1);
            startShift = 1;
            renderer.Track(child);
            EXPECT_EQ(pidfdOpens, 2);
            EXPECT_TRUE(renderer.End());
            EXPECT_EQ(EndedBy(child), SIGKILL);
        }
        if (kernel.pidfdErrno != 0) {
            // Neither a pidfd nor a start time: nothing is ended, and End says so.
            procHidden = true;
            const pid_t child = StartChild();
            ASSERT_GT(child, 0);
            RendererProcess renderer(Faked);
            renderer.Track(child);
            EXPECT_FALSE(renderer.End());
            procHidden = false;
            ASSERT_EQ(::kill(child, SIGTERM), 0);
            EXPECT_EQ(EndedBy(child), SIGTERM);
        }
        if (kernel.pidfdErrno != 0) {
            // The number gone to another process since it was tracked: that one lives.
            startShift = 0;
            const pid_t child = StartChild();
            ASSERT_GT(child, 0);
            RendererProcess renderer(Faked);
            renderer.Track(child);
            startShift = 1;
            EXPECT_TRUE(renderer.End());
            // A process ends once: had End sent its SIGKILL, this could not end it.
            ASSERT_EQ(::kill(child, SIGTERM), 0);
            EXPECT_EQ(EndedBy(child), SIGTERM);
        }
    }
    pidfdErrno = 0;
    startShift = 0;
}

TEST(RendererProcess, ReadsTheStartTimeOfARunningProcessOnly)
{
    const auto self = RendererProcess::Kernel.startTime(::getpid());
    ASSERT_TRUE(self.has_value());
    EXPECT_GT(*self, 0u);
    const pid_t child = StartChild();
    ASSERT_GT(child, 0);
    const auto started = RendererProcess::Kernel.startTime(child);
    ASSERT_TRUE(started.has_value());
    EXPECT_GE(*started, *self);  // started after us
    ASSERT_EQ(::kill(child, SIGKILL), 0);
    ASSERT_EQ(EndedBy(child), SIGKILL);
    EXPECT_FALSE(RendererProcess::Kernel.startTime(child).has_value());
}

} // namespace
} // namespace vidlatch::platform
