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
    // An item over MaxLineBytes: reported, not processed.
    void SkipTooLong(Source source, std::size_t number);
    // Writes out every finished result. Allocates nothing, so it still works
    // once memory has run out.
    void Flush();
    // Drops what the current item had written when it could not finish.
    void AbandonItem() { pending_.resize(itemStart_); }

    // 0 all succeeded, 1 some rejected, 2 some input was not UTF-8 or too long.
    int ExitStatus() const;

private:
    void WriteParse();
    void WriteBuild();
    void WriteConvert();
    void WriteUnprocessed(Source source, std::size_t number, const char* outcome, const std::string& problem);
    void EndRecord();

    CommandKind command_;
    bool json_;
    bool rejectEmpty_;
    std::FILE* out_;
    std::FILE* err_;
    std::string pending_;  // output not yet written
    std::size_t itemStart_ = 0;  // where the current item's output begins in pending_
    std::u16string text_;  // the current item, decoded
    bool anyRejected_ = false;
    bool anyInvalid_ = false;
};

} // namespace vidlatch::cli
