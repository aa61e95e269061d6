#pragma once

#include "BuildPlayerAddress.h"
#include "CodeUnits.h"
#include "CommandLine.h"
#include "EmbedCode.h"
#include "ParsePageAddress.h"
#include "RunCli.h"

#include <array>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

namespace vidlatch::cli {

// Runs one command over a stream of items and writes one result per item.
class BatchRun {
public:
    enum class Source { Line, Argument };

    BatchRun(const CommandLine& command, std::FILE* out, std::FILE* err, const NoticeLanguage& language = {});
    ~BatchRun();

    // `number` counts items from 1 and names a bad item in error reports.
    void Process(std::string_view item, Source source, std::size_t number);
    // An item over MaxLineBytes: reported, not processed.
    void SkipTooLong(Source source, std::size_t number);
    // Writes out every finished result. Allocates nothing, so it still works
    // once memory has run out. False once a write has failed: nothing more is
    // written, and the caller should stop.
    bool Flush();
    // 0, or the error of the write that failed.
    int WriteError() const { return writeError_; }
    // Drops what the current item had written when it could not finish.
    void AbandonItem() { pending_.resize(itemStart_); }

    // A notice as it is written: UTF-8 text, or the fields of a JSON record.
    struct NoticeForms {
        std::string text;
        std::string json;
    };

    // 0 all succeeded, 1 some rejected, 2 some input was not UTF-8, held a
    // control character or was too long.
    int ExitStatus() const;

private:
    // What a line's results are built in, kept from line to line so that a
    // line allocates nothing.
    template <CodeUnit Unit>
    struct Scratch {
        Text<Unit> code;
        Text<Unit> address;
        Text<Unit> embed;
    };

    template <CodeUnit Unit> void Write(TextView<Unit> item);
    template <CodeUnit Unit> void WriteParse(TextView<Unit> item);
    template <CodeUnit Unit> void WriteParsed(ParseOutcome outcome, TextView<Unit> code);
    template <CodeUnit Unit> void WriteBuild(TextView<Unit> item);
    template <CodeUnit Unit> void WriteConvert(TextView<Unit> item);
    template <CodeUnit Unit>
    void WriteCode(BuildOutcomeKind kind, std::optional<TextView<Unit>> code, TextView<Unit> address);
    template <CodeUnit Unit> Scratch<Unit>& ScratchOf();
    // `verb` joins the item to `problem` in a JSON error; `column`, when not
    // 0, names where in the item the problem is.
    void WriteUnprocessed(Source source, std::size_t number, const char* outcome, const char* verb,
                          const std::string& problem, std::size_t column = 0);
    void RefuseControl(Source source, std::size_t number, std::string_view item, std::size_t offset);
    void EndRecord();

    CommandKind command_;
    bool json_;
    bool rejectEmpty_;
    std::optional<EmbedForm> format_;
    std::optional<EmbedSize> size_;
    std::FILE* out_;
    std::FILE* err_;
    std::array<NoticeForms, ParseOutcomeCount> parseNotices_;  // each outcome's notice
    std::array<NoticeForms, BuildOutcomeCount> buildNotices_;
    std::string pending_;  // output not yet written
    std::size_t itemStart_ = 0;  // where the current item's output begins in pending_
    std::u16string text_;  // the current item, decoded, when it is not ASCII
    Scratch<char> bytes_;  // ASCII items take the byte path
    Scratch<char16_t> units_;
    bool anyRejected_ = false;
    bool anyInvalid_ = false;
    int writeError_ = 0;
};

} // namespace vidlatch::cli
