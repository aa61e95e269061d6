#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace vidlatch::cli {

// The longest input line that is processed; a longer one is skipped (read past
// without being kept) and reported. Ample for any real address, and small
// enough that a runaway line cannot exhaust a small machine's memory.
inline constexpr std::size_t MaxLineBytes = std::size_t{1} << 20;

// Reads a file descriptor one line at a time in fixed-size chunks, so memory
// stays bounded by MaxLineBytes, however long the lines and however many.
class LineReader {
public:
    enum class Result { Line, TooLong, End };

    // `beforeWaiting` runs whenever the input has nothing ready and the next
    // read would wait for more: the moment to pass on what is done so far.
    // When it returns false nothing more is read and the input ends there.
    explicit LineReader(int fd, std::function<bool()> beforeWaiting = {});

    // Line: `line` holds the next line without its "\n" or "\r\n", valid until
    // the next call. TooLong: a line over MaxLineBytes was read past. End: no
    // more input; a read error ends the input too and is kept by error().
    Result Next(std::string_view& line);
    // 0, or the error of the read that failed.
    int error() const { return error_; }

private:
    bool Fill();
    Result SkipRestOfLine();

    int fd_;
    std::function<bool()> beforeWaiting_;
    std::string buffer_;
    std::size_t begin_ = 0;  // start of unread data
    std::size_t end_ = 0;    // end of read data
    bool eof_ = false;
    bool stopped_ = false;  // beforeWaiting_ asked for no more input
    int error_ = 0;
};

} // namespace vidlatch::cli
