#pragma once

#include <cerrno>
#include <cstdio>
#include <string_view>

namespace vidlatch::cli {

// Writes `text` and flushes it through, so that a full disk or a closed pipe
// shows now rather than at exit. Returns 0, or the error that stopped it.
// Allocates nothing.
[[nodiscard]] inline int WriteAndFlush(std::FILE* out, std::string_view text)
{
    errno = 0;
    if (std::fwrite(text.data(), 1, text.size(), out) == text.size() && std::fflush(out) == 0)
        return 0;
    return errno != 0 ? errno : EIO;
}

} // namespace vidlatch::cli
