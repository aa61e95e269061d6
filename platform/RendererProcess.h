#pragma once

#include <QtGlobal>

namespace vidlatch::platform {

// The renderer process of one web page, held by a pidfd from when its pid is
// known, so that ending it can never hit another process that took the
// number after it exited.
class RendererProcess {
public:
    RendererProcess() = default;
    RendererProcess(const RendererProcess&) = delete;
    RendererProcess& operator=(const RendererProcess&) = delete;
    ~RendererProcess();

    // The page's renderer is now `pid` (0: none yet).
    void Track(qint64 pid);
    // Ends the renderer at once. True when it is gone, by this or already
    // (another page that shares it may have ended it first).
    [[nodiscard]] bool End();

private:
    qint64 pid_ = 0;
    int pidfd_ = -1;
};

} // namespace vidlatch::platform
