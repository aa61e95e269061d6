#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace vidlatch::cli {

// Reads a file descriptor one line at a time in fixed-size chunks, so memory
// stays bounded by the longest line, not by the number of lines.
class LineReader {
public:
    explicit LineReader(int fd);

    // The next line without its "\n" or "\r\n"; false at the end of input.
    // The view stays valid until the next call. A read error ends the input
    // and is reported by failed().
    bool Next(std::string_view& line);
    bool failed() const { return failed_; }

private:
    bool Fill();

    int fd_;
    std::string buffer_;
    std::size_t begin_ = 0;  // start of unread data
    std::size_t end_ = 0;    // end of read data
    bool eof_ = false;
    bool failed_ = false;
};

} // namespace vidlatch::cli
