#include "RendererProcess.h"

#include <QByteArray>
#include <QFile>

#include <cerrno>
#include <csignal>
#include <utility>

#include <sys/syscall.h>
#include <unistd.h>

namespace vidlatch::platform {

namespace {

int PidfdOpen(pid_t pid)
{
    return static_cast<int>(::syscall(SYS_pidfd_open, pid, 0));
}

// The fields of /proc/PID/stat from the third on (none: no such process).
// The name may hold spaces and parentheses: they are counted after its last ')'.
QList<QByteArray> StatFieldsAfterName(pid_t pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return {};
    const QByteArray line = stat.readAll();
    return line.mid(line.lastIndexOf(')') + 2).split(' ');
}

// Field `field` (counted from 1, as proc(5) does) of /proc/PID/stat.
std::optional<quint64> StatField(const QList<QByteArray>& afterName, int field)
{
    bool ok = false;
    const quint64 value = afterName.value(field - 3).toULongLong(&ok);
    return ok ? std::optional(value) : std::nullopt;
}

std::optional<quint64> StartTime(pid_t pid)
{
    return StatField(StatFieldsAfterName(pid), 22);
}

// The main thread's run and wait times (/proc/PID/schedstat); where the
// kernel keeps no such counts, the process's CPU time alone (utime and
// stime), which a busy machine holds back.
std::optional<quint64> MainThreadDemand(pid_t pid)
{
    QFile schedstat(QStringLiteral("/proc/%1/schedstat").arg(pid));
    if (schedstat.open(QIODevice::ReadOnly)) {
        const QList<QByteArray> fields = schedstat.readAll().simplified().split(' ');
        bool ran = false, waited = false;
        const quint64 running = fields.value(0).toULongLong(&ran), waiting = fields.value(1).toULongLong(&waited);
        if (ran && waited)
            return running + waiting;
    }
    const QList<QByteArray> fields = StatFieldsAfterName(pid);
    const std::optional<quint64> user = StatField(fields, 14), system = StatField(fields, 15);
    static const long TicksPerSecond = ::sysconf(_SC_CLK_TCK);
    if (!user || !system || TicksPerSecond <= 0)
        return std::nullopt;
    return (*user + *system) * (quint64{1000000000} / static_cast<quint64>(TicksPerSecond));
}

} // namespace

const RendererProcess::System RendererProcess::Kernel{PidfdOpen, StartTime, MainThreadDemand};

RendererProcess::~RendererProcess()
{
    Forget();
}

void RendererProcess::Forget()
{
    if (pidfd_ >= 0)
        ::close(std::exchange(pidfd_, -1));
    pid_ = 0;
    started_.reset();
}

void RendererProcess::Track(qint64 pid)
{
    const std::optional<quint64> started = pid > 0 ? system_.startTime(static_cast<pid_t>(pid)) : std::nullopt;
    // The same process still: nothing to do. A number reused is another renderer.
    if (pid == pid_ && started && started == started_)
        return;
    Forget();
    pid_ = pid;
    if (pid <= 0)
        return;
    started_ = started;
    pidfd_ = system_.pidfdOpen(static_cast<pid_t>(pid));
    // Read again: had the number changed hands while the pidfd was opened,
    // the pidfd would hold the newcomer.
    if (pidfd_ >= 0 && system_.startTime(static_cast<pid_t>(pid)) != started_)
        ::close(std::exchange(pidfd_, -1));
}

std::optional<quint64> RendererProcess::Demand() const
{
    // A number that has gone to another process reads that one's.
    if (pid_ <= 0 || !started_ || system_.startTime(static_cast<pid_t>(pid_)) != started_)
        return std::nullopt;
    return system_.demand(static_cast<pid_t>(pid_));
}

bool RendererProcess::End()
{
    if (pidfd_ >= 0)
        return ::syscall(SYS_pidfd_send_signal, pidfd_, SIGKILL, nullptr, 0) == 0 || errno == ESRCH;
    // Neither held nor known (no start time could be read): no signal can
    // be sent safely, and nothing was ended.
    if (pid_ <= 0 || !started_)
        return false;
    // Gone since (its number free or another process's now): it is ended,
    // and no one else is hit.
    if (system_.startTime(static_cast<pid_t>(pid_)) != started_)
        return true;
    return ::kill(static_cast<pid_t>(pid_), SIGKILL) == 0 || errno == ESRCH;
}

} // namespace vidlatch::platform
