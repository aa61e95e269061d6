#pragma once

#include "CommandLine.h"

#include <cstdio>
#include <string>
#include <string_view>

namespace vidlatch::cli {

// Runs one command over a stream of items and writes one result per item.
class BatchRun {
public:
    enum class Source { Line, Argument };

    BatchRun(const CommandLine& command, std::FILE* out, std::FILE* err);
    ~BatchRun();

    // `number` counts items from 1 and names a bad item in error reports.
    void Process(std::string_view item, Source source, std::size_t number);
    void Flush();

    // 0 all succeeded, 1 some rejected, 2 some input was not UTF-8.
    int ExitStatus() const;

private:
    void WriteParse();
    void WriteBuild();
    void WriteConvert();
    void WriteInvalid(Source source, std::size_t number);
    void EndRecord();

    CommandKind command_;
    bool json_;
    bool rejectEmpty_;
    std::FILE* out_;
    std::FILE* err_;
    std::string pending_;  // output not yet written
    std::u16string text_;  // the current item, decoded
    bool anyRejected_ = false;
    bool anyInvalid_ = false;
};

} // namespace vidlatch::cli
