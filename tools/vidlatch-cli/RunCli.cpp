#include "RunCli.h"

#include "BatchRun.h"
#include "CommandLine.h"
#include "LineReader.h"

#include <cerrno>
#include <cstring>
#include <new>

namespace vidlatch::cli {
namespace {

constexpr int OutOfMemoryStatus = 3;

int ProcessItems(const CommandLine& command, BatchRun& run, int input, std::FILE* err, std::size_t& number)
{
    if (!command.operands.empty()) {
        for (std::string_view operand : command.operands)
            run.Process(operand, BatchRun::Source::Argument, ++number);
        return 0;
    }
    // A live pipeline sees each result as soon as its line has arrived; a
    // file or a busy pipe still gets large writes.
    LineReader reader(input, [&run] { run.Flush(); });
    std::string_view line;
    for (;;) {
        const LineReader::Result got = reader.Next(line);
        if (got == LineReader::Result::End)
            break;
        ++number;
        if (got == LineReader::Result::TooLong)
            run.SkipTooLong(BatchRun::Source::Line, number);
        else
            run.Process(line, BatchRun::Source::Line, number);
    }
    if (reader.failed()) {
        const int error = errno;
        run.Flush();
        std::fprintf(err, "vidlatch-cli: reading standard input: %s\n", std::strerror(error));
        return 2;
    }
    return 0;
}

} // namespace

int RunCli(int argc, const char* const* argv, int input, std::FILE* out, std::FILE* err)
{
    const CommandLine command = ReadCommandLine(argc, argv);
    if (command.help) {
        std::fwrite(HelpText.data(), 1, HelpText.size(), out);
        return 0;
    }
    if (!command.error.empty()) {
        std::fprintf(err, "vidlatch-cli: %s\nTry 'vidlatch-cli --help'.\n", command.error.c_str());
        return 2;
    }

    BatchRun run(command, out, err);
    std::size_t number = 0;
    try {
        if (const int status = ProcessItems(command, run, input, err, number))
            return status;
    } catch (const std::bad_alloc&) {
        // Whatever was finished is passed on before giving up.
        run.AbandonItem();
        run.Flush();
        const char* what = command.operands.empty() ? "line" : "argument";
        std::fprintf(err, "vidlatch-cli: out of memory at %s %zu; the results before it have been written\n",
                     what, number);
        return OutOfMemoryStatus;
    }
    run.Flush();
    if (std::ferror(out)) {
        std::fprintf(err, "vidlatch-cli: writing standard output failed\n");
        return 2;
    }
    return run.ExitStatus();
}

} // namespace vidlatch::cli
