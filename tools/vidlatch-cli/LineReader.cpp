#include "LineReader.h"

#include <cerrno>
#include <cstring>
#include <poll.h>
#include <unistd.h>

namespace vidlatch::cli {
namespace {

constexpr std::size_t ChunkSize = std::size_t{1} << 16;

// Whether a read of `fd` would wait: a pipe or terminal with nothing in it yet.
bool WouldWait(int fd)
{
    pollfd ready{fd, POLLIN, 0};
    int got;
    do {
        got = ::poll(&ready, 1, 0);
    } while (got < 0 && errno == EINTR);
    return got == 0;
}

} // namespace

// Room for the longest line, its "\r\n" and one more chunk read behind it.
LineReader::LineReader(int fd, std::function<bool()> beforeWaiting)
    : fd_(fd), beforeWaiting_(std::move(beforeWaiting)), buffer_(MaxLineBytes + 2 + ChunkSize, '\0')
{
}

bool LineReader::Fill()
{
    if (begin_ > 0) {  // keep the partial line, drop what was handed out
        std::memmove(buffer_.data(), buffer_.data() + begin_, end_ - begin_);
        end_ -= begin_;
        begin_ = 0;
    }
    if (beforeWaiting_ && WouldWait(fd_) && !beforeWaiting_()) {
        stopped_ = eof_ = true;
        return false;
    }
    for (;;) {
        const ssize_t got = ::read(fd_, buffer_.data() + end_, buffer_.size() - end_);
        if (got > 0) {
            end_ += static_cast<std::size_t>(got);
            return true;
        }
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            error_ = errno;
        eof_ = true;
        return false;
    }
}

LineReader::Result LineReader::Next(std::string_view& line)
{
    std::size_t scanned = begin_;
    for (;;) {
        if (stopped_)
            return Result::End;  // a partial line left behind is not a line
        const void* hit = std::memchr(buffer_.data() + scanned, '\n', end_ - scanned);
        std::size_t stop = hit ? static_cast<std::size_t>(static_cast<const char*>(hit) - buffer_.data()) : end_;
        const std::size_t next = hit ? stop + 1 : end_;
        if (hit || eof_) {
            if (!hit && begin_ == end_)
                return Result::End;
            if (hit && stop > begin_ && buffer_[stop - 1] == '\r')
                --stop;
            const std::size_t length = stop - begin_;
            line = std::string_view(buffer_.data() + begin_, length);
            begin_ = next;  // a last line may come without its newline
            return length > MaxLineBytes ? Result::TooLong : Result::Line;
        }
        // "\r\n" ends a line of exactly the limit; anything longer is skipped.
        if (end_ - begin_ > MaxLineBytes + 1)
            return SkipRestOfLine();
        const std::size_t pending = end_ - begin_;
        Fill();
        scanned = begin_ + pending;
    }
}

LineReader::Result LineReader::SkipRestOfLine()
{
    for (;;) {
        begin_ = end_ = 0;  // nothing of the line is kept
        if (!Fill())
            return stopped_ ? Result::End : Result::TooLong;
        if (const void* hit = std::memchr(buffer_.data(), '\n', end_)) {
            begin_ = static_cast<std::size_t>(static_cast<const char*>(hit) - buffer_.data()) + 1;
            return Result::TooLong;
        }
    }
}

} // namespace vidlatch::cli
