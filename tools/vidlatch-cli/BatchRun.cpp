#include "BatchRun.h"

#include "BuildPlayerAddress.h"
#include "ParsePageAddress.h"
#include "LineReader.h"
#include "Utf8.h"

namespace vidlatch::cli {
namespace {

constexpr std::size_t FlushThreshold = 1 << 16;

void AppendField(std::string& out, std::string_view name, std::u16string_view value)
{
    out.append(",\"").append(name).append("\":");
    AppendJsonString(value, out);
}

void AppendOutcome(std::string& out, std::string_view name)
{
    out.append(",\"outcome\":\"").append(name).push_back('"');
}

void AppendNotice(std::string& out, std::u16string_view text, NoticeStyle style)
{
    AppendField(out, "notice", text);
    out.append(",\"style\":").append(std::to_string(static_cast<int>(style)));
}

} // namespace

BatchRun::BatchRun(const CommandLine& command, std::FILE* out, std::FILE* err)
    : command_(command.command), json_(command.json), rejectEmpty_(command.rejectEmpty),
      out_(out), err_(err)
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
    if (!DecodeUtf8(item, text_)) {
        WriteUnprocessed(source, number, "InvalidUtf8", "not valid UTF-8");
    } else {
        if (json_) {
            pending_.append("{\"input\":");
            AppendJsonString(text_, pending_);
        }
        switch (command_) {
        case CommandKind::Parse: WriteParse(); break;
        case CommandKind::Build: WriteBuild(); break;
        case CommandKind::Convert: WriteConvert(); break;
        }
    }
    EndRecord();
}

void BatchRun::WriteParse()
{
    const ParseResult result = ParsePageAddress(text_, rejectEmpty_);
    const bool taken = result.outcome == ParseOutcome::CodeTaken;
    anyRejected_ |= !taken;
    if (!json_) {
        AppendUtf8(taken ? std::u16string_view(result.code) : NoticeText(result.outcome), pending_);
        return;
    }
    AppendOutcome(pending_, OutcomeName(result.outcome));
    if (taken)
        AppendField(pending_, "code", result.code);
    AppendNotice(pending_, NoticeText(result.outcome), NoticeStyleOf(result.outcome));
}

void BatchRun::WriteBuild()
{
    const BuildOutcome built = BuildPlayerAddress(text_);
    const bool ready = built.kind == BuildOutcomeKind::AddressReady;
    anyRejected_ |= !ready;
    if (!json_) {
        AppendUtf8(ready ? std::u16string_view(built.address) : RejectionText(built.kind), pending_);
        return;
    }
    AppendOutcome(pending_, OutcomeName(built.kind));
    if (ready)
        AppendField(pending_, "address", built.address);
    const Notice notice = built.notice();
    AppendNotice(pending_, notice.text, notice.style);
}

void BatchRun::WriteConvert()
{
    const ParseResult parsed = ParsePageAddress(text_, true);
    if (parsed.outcome != ParseOutcome::CodeTaken) {
        anyRejected_ = true;
        if (!json_) {
            AppendUtf8(NoticeText(parsed.outcome), pending_);
            return;
        }
        AppendOutcome(pending_, OutcomeName(parsed.outcome));
        AppendNotice(pending_, NoticeText(parsed.outcome), NoticeStyleOf(parsed.outcome));
        return;
    }
    const BuildOutcome built = BuildPlayerAddress(parsed.code);
    const bool ready = built.kind == BuildOutcomeKind::AddressReady;
    anyRejected_ |= !ready;
    if (!json_) {
        AppendUtf8(ready ? std::u16string_view(built.address) : RejectionText(built.kind), pending_);
        return;
    }
    AppendOutcome(pending_, OutcomeName(built.kind));
    AppendField(pending_, "code", parsed.code);
    if (ready)
        AppendField(pending_, "address", built.address);
    const Notice notice = built.notice();
    AppendNotice(pending_, notice.text, notice.style);
}

void BatchRun::SkipTooLong(Source source, std::size_t number)
{
    itemStart_ = pending_.size();
    WriteUnprocessed(source, number, "TooLong",
                     "longer than the limit of " + std::to_string(MaxLineBytes) + " bytes");
    EndRecord();
}

void BatchRun::WriteUnprocessed(Source source, std::size_t number, const char* outcome, const std::string& problem)
{
    anyInvalid_ = true;
    const char* what = source == Source::Line ? "line" : "argument";
    std::fprintf(err_, "vidlatch-cli: %s %zu: %s\n", what, number, problem.c_str());
    if (json_) {
        pending_.append("{\"").append(what).append("\":").append(std::to_string(number));
        pending_.append(",\"outcome\":\"").append(outcome).append("\",\"error\":\"");
        pending_.append(what).append(" ").append(std::to_string(number));
        pending_.append(" is ").append(problem).append("\"");
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

void BatchRun::Flush()
{
    if (!pending_.empty())
        std::fwrite(pending_.data(), 1, pending_.size(), out_);
    pending_.clear();
    std::fflush(out_);
}

int BatchRun::ExitStatus() const
{
    if (anyInvalid_) return 2;
    return anyRejected_ ? 1 : 0;
}

} // namespace vidlatch::cli
