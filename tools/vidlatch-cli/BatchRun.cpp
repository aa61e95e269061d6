#include "BatchRun.h"

#include "BuildPlayerAddress.h"
#include "EmbedCode.h"
#include "ParsePageAddress.h"
#include "LineReader.h"
#include "Output.h"
#include "Utf8.h"

#include <array>

namespace vidlatch::cli {
namespace {

constexpr std::size_t FlushThreshold = 1 << 16;

// Text of either path into the UTF-8 output: ASCII bytes are already UTF-8.
void AppendText(std::string_view ascii, std::string& out) { out.append(ascii); }
void AppendText(std::u16string_view text, std::string& out) { AppendUtf8(text, out); }

template <CodeUnit Unit>
void AppendField(std::string& out, std::string_view name, TextView<Unit> value)
{
    out.append(",\"").append(name).append("\":");
    AppendJsonString(value, out);
}

void AppendOutcome(std::string& out, std::string_view name)
{
    out.append(",\"outcome\":\"").append(name).push_back('"');
}

// A notice in UTF-8, and as the JSON fields of a record, in the user's language.
BatchRun::NoticeForms NoticeFormsOf(const Notice& notice, const NoticeLanguage& language)
{
    const std::u16string text = language ? language(notice.text) : notice.text;
    BatchRun::NoticeForms forms;
    AppendUtf8(text, forms.text);
    AppendField<char16_t>(forms.json, "notice", text);
    forms.json.append(",\"style\":").append(std::to_string(static_cast<int>(notice.style)));
    return forms;
}

// Made once per outcome rather than once per line.
template <typename Outcome, std::size_t Count, typename MakeNotice>
std::array<BatchRun::NoticeForms, Count> NoticeFormsOfEach(MakeNotice makeNotice, const NoticeLanguage& language)
{
    std::array<BatchRun::NoticeForms, Count> forms;
    for (std::size_t i = 0; i < Count; ++i)
        forms[i] = NoticeFormsOf(makeNotice(static_cast<Outcome>(i)), language);
    return forms;
}

} // namespace

BatchRun::BatchRun(const CommandLine& command, std::FILE* out, std::FILE* err, const NoticeLanguage& language)
    : command_(command.command), json_(command.json), rejectEmpty_(command.rejectEmpty),
      format_(command.format), size_(command.size),
      out_(out), err_(err),
      parseNotices_(NoticeFormsOfEach<ParseOutcome, ParseOutcomeCount>(
          [](ParseOutcome outcome) { return ParseResult{outcome, {}}.notice(); }, language)),
      buildNotices_(NoticeFormsOfEach<BuildOutcomeKind, BuildOutcomeCount>(
          [](BuildOutcomeKind kind) { return BuildOutcome{kind, {}}.notice(); }, language))
{
    pending_.reserve(FlushThreshold * 2);
}

BatchRun::~BatchRun() { Flush(); }

void BatchRun::Process(std::string_view item, Source source, std::size_t number)
{
    itemStart_ = pending_.size();
    if (item.size() > MaxLineBytes) {
        SkipTooLong(source, number);
        return;
    }
    // Addresses are nearly always ASCII, where each byte is its UTF-16 unit.
    const LineScan scan = ScanLine(item);
    const bool control = scan.control != std::string_view::npos;
    if (scan.ascii && !control)
        Write<char>(item);
    else if (!scan.ascii && !DecodeUtf8(item, text_))
        WriteUnprocessed(source, number, "InvalidUtf8", "is", "not valid UTF-8");  // first: no characters, no column
    else if (control)
        RefuseControl(source, number, item, scan.control);
    else
        Write<char16_t>(text_);
    EndRecord();
}

template <CodeUnit Unit>
BatchRun::Scratch<Unit>& BatchRun::ScratchOf()
{
    if constexpr (std::same_as<Unit, char>)
        return bytes_;
    else
        return units_;
}

template <CodeUnit Unit>
void BatchRun::Write(TextView<Unit> item)
{
    if (json_) {
        pending_.append("{\"input\":");
        AppendJsonString(item, pending_);
    }
    switch (command_) {
    case CommandKind::Parse: WriteParse(item); break;
    case CommandKind::Build: WriteBuild(item); break;
    case CommandKind::Convert: WriteConvert(item); break;
    }
}

template <CodeUnit Unit>
void BatchRun::WriteParse(TextView<Unit> item)
{
    Text<Unit>& code = ScratchOf<Unit>().code;
    const ParseOutcome outcome = ParsePageAddress(item, rejectEmpty_, code);
    WriteParsed<Unit>(outcome, code);
}

// The result of parsing a page address; `code` counts for CodeTaken only.
template <CodeUnit Unit>
void BatchRun::WriteParsed(ParseOutcome outcome, TextView<Unit> code)
{
    const bool taken = outcome == ParseOutcome::CodeTaken;
    anyRejected_ |= !taken;
    const NoticeForms& notice = parseNotices_[static_cast<std::size_t>(outcome)];
    if (!json_) {
        if (taken)
            AppendText(code, pending_);
        else
            pending_.append(notice.text);
        return;
    }
    AppendOutcome(pending_, OutcomeName(outcome));
    if (taken)
        AppendField<Unit>(pending_, "code", code);
    pending_.append(notice.json);
}

template <CodeUnit Unit>
void BatchRun::WriteBuild(TextView<Unit> item)
{
    Text<Unit>& address = ScratchOf<Unit>().address;
    const BuildOutcomeKind kind = BuildPlayerAddress(item, address);
    WriteCode<Unit>(kind, std::nullopt, address);
}

template <CodeUnit Unit>
void BatchRun::WriteConvert(TextView<Unit> item)
{
    Scratch<Unit>& scratch = ScratchOf<Unit>();
    const ParseOutcome parsed = ParsePageAddress(item, true, scratch.code);
    if (parsed != ParseOutcome::CodeTaken) {
        WriteParsed<Unit>(parsed, {});  // rejected as parse rejects it
        return;
    }
    const BuildOutcomeKind kind = BuildPlayerAddress<Unit>(scratch.code, scratch.address);
    WriteCode<Unit>(kind, scratch.code, scratch.address);
}

// The result of building an address; `code` is named in JSON when it came
// out of a page address.
template <CodeUnit Unit>
void BatchRun::WriteCode(BuildOutcomeKind kind, std::optional<TextView<Unit>> code, TextView<Unit> address)
{
    const bool ready = kind == BuildOutcomeKind::AddressReady;
    anyRejected_ |= !ready;
    Text<Unit>& embed = ScratchOf<Unit>().embed;
    // Every address built here is one EmbedCode takes, at a size the command line checked.
    const bool embedded = ready && format_ && EmbedCode<Unit>(address, *format_, size_, embed);
    if (!json_) {
        if (ready)
            AppendText(embedded ? TextView<Unit>(embed) : address, pending_);
        else
            pending_.append(buildNotices_[static_cast<std::size_t>(kind)].text);  // the rejection text
        return;
    }
    AppendOutcome(pending_, OutcomeName(kind));
    if (code)
        AppendField<Unit>(pending_, "code", *code);
    if (ready)
        AppendField<Unit>(pending_, "address", address);
    if (embedded)
        AppendField<Unit>(pending_, "embed", embed);
    pending_.append(buildNotices_[static_cast<std::size_t>(kind)].json);
}

void BatchRun::SkipTooLong(Source source, std::size_t number)
{
    itemStart_ = pending_.size();
    WriteUnprocessed(source, number, "TooLong", "is",
                     "longer than the limit of " + std::to_string(MaxLineBytes) + " bytes");
    EndRecord();
}

void BatchRun::RefuseControl(Source source, std::size_t number, std::string_view item, std::size_t offset)
{
    static constexpr char Hex[] = "0123456789ABCDEF";
    const unsigned char byte = static_cast<unsigned char>(item[offset]);
    const std::size_t column = ColumnAt(item, offset);
    WriteUnprocessed(source, number, "ControlCharacter", "has",
                     std::string("control character U+00") + Hex[byte >> 4] + Hex[byte & 0xF] + " at column " +
                         std::to_string(column),
                     column);
}

void BatchRun::WriteUnprocessed(Source source, std::size_t number, const char* outcome, const char* verb,
                                const std::string& problem, std::size_t column)
{
    anyInvalid_ = true;
    const char* what = source == Source::Line ? "line" : "argument";
    std::fprintf(err_, "vidlatch-cli: %s %zu: %s\n", what, number, problem.c_str());
    if (json_) {
        pending_.append("{\"").append(what).append("\":").append(std::to_string(number));
        if (column != 0)
            pending_.append(",\"column\":").append(std::to_string(column));
        pending_.append(",\"outcome\":\"").append(outcome).append("\",\"error\":\"");
        pending_.append(what).append(" ").append(std::to_string(number));
        pending_.append(" ").append(verb).append(" ").append(problem).append("\"");
    }
}

void BatchRun::EndRecord()
{
    if (json_)
        pending_.push_back('}');
    pending_.push_back('\n');
    if (pending_.size() >= FlushThreshold)
        Flush();
}

bool BatchRun::Flush()
{
    if (writeError_ == 0)
        writeError_ = WriteAndFlush(out_, pending_);
    pending_.clear();
    return writeError_ == 0;
}

int BatchRun::ExitStatus() const
{
    if (anyInvalid_) return 2;
    return anyRejected_ ? 1 : 0;
}

} // namespace vidlatch::cli
