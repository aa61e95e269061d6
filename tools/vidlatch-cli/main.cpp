#include "BatchRun.h"
#include "CommandLine.h"
#include "LineReader.h"

#include <cstdio>
#include <unistd.h>

using namespace vidlatch::cli;

int main(int argc, char** argv)
{
    const CommandLine command = ReadCommandLine(argc, argv);
    if (command.help) {
        std::fwrite(HelpText.data(), 1, HelpText.size(), stdout);
        return 0;
    }
    if (!command.error.empty()) {
        std::fprintf(stderr, "vidlatch-cli: %s\nTry 'vidlatch-cli --help'.\n", command.error.c_str());
        return 2;
    }

    BatchRun run(command, stdout, stderr);
    if (!command.operands.empty()) {
        std::size_t number = 0;
        for (std::string_view operand : command.operands)
            run.Process(operand, BatchRun::Source::Argument, ++number);
    } else {
        LineReader reader(STDIN_FILENO);
        std::string_view line;
        std::size_t number = 0;
        while (reader.Next(line))
            run.Process(line, BatchRun::Source::Line, ++number);
        if (reader.failed()) {
            run.Flush();
            std::perror("vidlatch-cli: reading standard input");
            return 2;
        }
    }
    run.Flush();
    if (std::ferror(stdout)) {
        std::fprintf(stderr, "vidlatch-cli: writing standard output failed\n");
        return 2;
    }
    return run.ExitStatus();
}
