#include "CommandLine.h"

namespace vidlatch::cli {

const std::string_view HelpText = R"(Usage:
  vidlatch-cli parse   [--reject-empty] [--json] [ADDRESS...]
  vidlatch-cli build   [--json] [CODE...]
  vidlatch-cli convert [--json] [ADDRESS...]

  parse    take the video code out of each page address
  build    check each video code and build its player address
  convert  page address in, player address out (parse, then build)

With no ADDRESS or CODE, one item is read from each line of standard input
(a trailing "\r\n" or "\n" is removed), however many lines come. Each result
is written as soon as its line has arrived, so the tool works in a live
pipeline.

Line-length limit: an item longer than 1048576 bytes (1 MiB) is not processed.
It is read past without being kept in memory, gets an empty line (a JSON error
record with --json) and a message on standard error naming its number, and
the items after it are processed as usual.

Options:
  --reject-empty  parse only: an empty address gets its own notice
                  (convert always does this)
  --json          one JSON object per item: input, outcome, code or address,
                  notice and style
  --              end of options; what follows are operands
  -h, --help      show this help
  --version       show the version

Output: one line per item on standard output, the code or player address on
success and the notice text otherwise. An item that is not valid UTF-8, or
that holds a control character (U+0000 to U+001F or U+007F, other than the
"\n" or "\r\n" that ends its line), gets an empty line (a JSON error record
with --json) and a message on standard error naming its number and, for a
control character, its column in characters; the other items are still
processed.

Notices are in Simplified Chinese or English: the first of the user's
languages (LANGUAGE, or else LC_ALL, LC_MESSAGES or LANG) that is Chinese or
English decides, C and POSIX are Chinese, neither gives English; the JSON
"outcome" names are the same in every language.

Exit status: 0 every item succeeded, 1 some item was rejected,
             2 usage error, input that is not valid UTF-8 or holds a control
               character, or an item over the line-length limit,
             3 out of memory (the results before that item were written),
             4 standard output could not be written (a full disk, a closed
               pipe): the tool stops at the first failed write.

Examples:
  vidlatch-cli parse 'http://v.vidsite.example/page/W/f/t/a1b2c3d4e5f.html'
  vidlatch-cli build a1b2c3d4e5f
  vidlatch-cli convert --json < addresses.txt > players.jsonl
)";

const std::string_view VersionText = "vidlatch-cli " VIDLATCH_VERSION "\n";

namespace {

bool CommandFromName(std::string_view name, CommandKind& command)
{
    if (name == "parse") command = CommandKind::Parse;
    else if (name == "build") command = CommandKind::Build;
    else if (name == "convert") command = CommandKind::Convert;
    else return false;
    return true;
}

} // namespace

CommandLine ReadCommandLine(int argc, const char* const* argv)
{
    CommandLine line;
    bool haveCommand = false;
    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view word = argv[i];
        if (!optionsEnded && word.size() > 1 && word[0] == '-') {
            if (word == "--") optionsEnded = true;
            else if (word == "-h" || word == "--help") line.help = true;
            else if (word == "--version") line.version = true;
            else if (word == "--json") line.json = true;
            else if (word == "--reject-empty") line.rejectEmpty = true;
            else if (line.error.empty()) line.error = "unknown option '" + std::string(word) + "'";
            continue;
        }
        if (!haveCommand) {
            if (!CommandFromName(word, line.command) && line.error.empty())
                line.error = "unknown command '" + std::string(word) + "'";
            haveCommand = true;
            continue;
        }
        line.operands.push_back(word);
    }
    if (line.help || line.version)
        return line;
    if (!haveCommand && line.error.empty())
        line.error = "missing command (parse, build or convert)";
    if (line.rejectEmpty && line.command != CommandKind::Parse && line.error.empty())
        line.error = "--reject-empty goes with parse only";
    return line;
}

} // namespace vidlatch::cli
