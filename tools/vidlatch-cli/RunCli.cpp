#include "RunCli.h"

#include "BatchRun.h"
#include "CommandLine.h"
#include "LineReader.h"
#include "Output.h"

#include <cstring>
#include <new>

namespace vidlatch::cli {
namespace {

constexpr int UsageStatus = 2;
constexpr int ReadFailedStatus = 2;
constexpr int OutOfMemoryStatus = 3;
constexpr int WriteFailedStatus = 4;

// Stops at the first failed write: nobody is taking the results any more, so
// reading on would only burn input. Returns 0, or the error of a failed read.
int ProcessItems(const CommandLine& command, BatchRun& run, int input, std::size_t& number)
{
    if (!command.operands.empty()) {
        for (std::string_view operand : command.operands) {
            run.Process(operand, BatchRun::Source::Argument, ++number);
            if (run.WriteError())
                break;
        }
        return 0;
    }
    // A live pipeline sees each result as soon as its line has arrived; a
    // file or a busy pipe still gets large writes.
    LineReader reader(input, [&run] { return run.Flush(); });
    std::string_view line;
    while (!run.WriteError()) {
        const LineReader::Result got = reader.Next(line);
        if (got == LineReader::Result::End)
            break;
        ++number;
        if (got == LineReader::Result::TooLong)
            run.SkipTooLong(BatchRun::Source::Line, number);
        else
            run.Process(line, BatchRun::Source::Line, number);
    }
    return reader.error();
}

int WriteFailed(std::FILE* err, int error)
{
    std::fprintf(err, "vidlatch-cli: writing standard output: %s\n", std::strerror(error));
    return WriteFailedStatus;
}

} // namespace

int RunCli(int argc, const char* const* argv, int input, std::FILE* out, std::FILE* err,
           const NoticeLanguage& language)
{
    const CommandLine command = ReadCommandLine(argc, argv);
    if (command.help || command.version) {
        if (const int error = WriteAndFlush(out, command.help ? HelpText : VersionText))
            return WriteFailed(err, error);
        return 0;
    }
    if (!command.error.empty()) {
        std::fprintf(err, "vidlatch-cli: %s\nTry 'vidlatch-cli --help'.\n", command.error.c_str());
        return UsageStatus;
    }

    BatchRun run(command, out, err, language);
    std::size_t number = 0;
    int readError = 0;
    try {
        readError = ProcessItems(command, run, input, number);
    } catch (const std::bad_alloc&) {
        // Whatever was finished is passed on before giving up.
        run.AbandonItem();
        if (!run.Flush())
            return WriteFailed(err, run.WriteError());
        const char* what = command.operands.empty() ? "line" : "argument";
        std::fprintf(err, "vidlatch-cli: out of memory at %s %zu; the results before it have been written\n",
                     what, number);
        return OutOfMemoryStatus;
    }
    if (!run.Flush())
        return WriteFailed(err, run.WriteError());
    if (readError) {
        std::fprintf(err, "vidlatch-cli: reading standard input: %s\n", std::strerror(readError));
        return ReadFailedStatus;
    }
    return run.ExitStatus();
}

} // namespace vidlatch::cli
