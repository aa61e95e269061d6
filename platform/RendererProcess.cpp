#include "RendererProcess.h"

#include <cerrno>
#include <csignal>
#include <utility>

#include <sys/syscall.h>
#include <unistd.h>

namespace vidlatch::platform {

RendererProcess::~RendererProcess()
{
    if (pidfd_ >= 0)
        ::close(pidfd_);
}

void RendererProcess::Track(qint64 pid)
{
    if (pid == pid_)
        return;
    pid_ = pid;
    if (pidfd_ >= 0)
        ::close(std::exchange(pidfd_, -1));
    if (pid > 0)
        pidfd_ = static_cast<int>(::syscall(SYS_pidfd_open, static_cast<pid_t>(pid), 0));
}

bool RendererProcess::End()
{
    return pidfd_ >= 0 && (::syscall(SYS_pidfd_send_signal, pidfd_, SIGKILL, nullptr, 0) == 0 || errno == ESRCH);
}

} // namespace vidlatch::platform
