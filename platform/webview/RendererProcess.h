#pragma once

#include <QtGlobal>

#include <optional>

#include <sys/types.h>

namespace vidlatch::platform {

// The renderer process of one web page, held from when its pid is known, so
// that ending it can never hit another process that took the number after it
// exited. Held by a pidfd; where the kernel gives none (too old, or a seccomp
// filter says EPERM), by its pid and start time, checked again just before
// the signal.
class RendererProcess {
public:
    // How the process is reached: the system's calls, or a test's.
    struct System {
        int (*pidfdOpen)(pid_t pid);  // -1 and errno on failure
        // The start time in /proc/PID/stat (field 22); none when no such process.
        std::optional<quint64> (*startTime)(pid_t pid);
        // How long the process's main thread has run or waited to run, in
        // ns; none when no such process.
        std::optional<quint64> (*demand)(pid_t pid);
    };
    static const System Kernel;

    explicit RendererProcess(const System& system = Kernel) : system_(system) {}
    RendererProcess(const RendererProcess&) = delete;
    RendererProcess& operator=(const RendererProcess&) = delete;
    ~RendererProcess();

    // The page's renderer is now `pid` (0: none yet). The same number held
    // by a new process is a new renderer.
    void Track(qint64 pid);
    // Ends the renderer at once. True when it is gone, by this or already
    // (another page that shares it may have ended it first); false when
    // there is none, or it could be neither held nor told apart from a
    // process that took its number.
    [[nodiscard]] bool End();
    // What the renderer's main thread, where its pages' scripts run, has
    // asked of the processors so far (ns): the time it ran, and the time it
    // was ready to run while others ran. A busy page asks for all of its
    // time however many other programs share the processors; an idle one
    // for little. None while no renderer is known.
    [[nodiscard]] std::optional<quint64> Demand() const;
    qint64 Pid() const { return pid_; }
    // Whether the renderer is held by a pidfd (false: by pid and start time).
    bool ByPidfd() const { return pidfd_ >= 0; }

private:
    void Forget();

    System system_;
    qint64 pid_ = 0;
    int pidfd_ = -1;
    std::optional<quint64> started_;  // when the process was gone by the time it was tracked: none
};

} // namespace vidlatch::platform
