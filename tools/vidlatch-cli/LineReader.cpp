#include "LineReader.h"

#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace vidlatch::cli {
namespace {
constexpr std::size_t ChunkSize = 1 << 16;
}

LineReader::LineReader(int fd) : fd_(fd), buffer_(ChunkSize, '\0') {}

bool LineReader::Fill()
{
    if (begin_ > 0) {  // keep the partial line, drop what was handed out
        std::memmove(buffer_.data(), buffer_.data() + begin_, end_ - begin_);
        end_ -= begin_;
        begin_ = 0;
    }
    if (buffer_.size() - end_ < ChunkSize / 2)
        buffer_.resize(buffer_.size() * 2);
    for (;;) {
        const ssize_t got = ::read(fd_, buffer_.data() + end_, buffer_.size() - end_);
        if (got > 0) {
            end_ += static_cast<std::size_t>(got);
            return true;
        }
        if (got < 0 && errno == EINTR)
            continue;
        failed_ = got < 0;
        eof_ = true;
        return false;
    }
}

bool LineReader::Next(std::string_view& line)
{
    std::size_t scanned = begin_;
    for (;;) {
        const void* hit = std::memchr(buffer_.data() + scanned, '\n', end_ - scanned);
        if (hit) {
            const std::size_t newline = static_cast<const char*>(hit) - buffer_.data();
            std::size_t stop = newline;
            if (stop > begin_ && buffer_[stop - 1] == '\r')
                --stop;
            line = std::string_view(buffer_.data() + begin_, stop - begin_);
            begin_ = newline + 1;
            return true;
        }
        if (eof_) {
            if (begin_ == end_)
                return false;
            std::size_t stop = end_;  // a last line without its newline
            line = std::string_view(buffer_.data() + begin_, stop - begin_);
            begin_ = end_;
            return true;
        }
        const std::size_t pending = end_ - begin_;
        Fill();
        scanned = begin_ + pending;
    }
}

} // namespace vidlatch::cli
