#include "CommandLine.h"

#include <charconv>
#include <utility>

namespace vidlatch::cli {

const std::string_view HelpText = R"(Usage:
  vidlatch-cli parse   [--reject-empty] [--json] [ADDRESS...]
  vidlatch-cli build   [--json] [EMBED OPTIONS] [CODE...]
  vidlatch-cli convert [--json] [EMBED OPTIONS] [ADDRESS...]

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
  --format FORM   build and convert: write each player address as FORM:
                  address (the default), html (an <embed> element for a
                  blog), bbcode ([flash]...[/flash] for a forum) or
                  markdown (a link); with --json each accepted item's
                  object gains "embed", holding that form
  --width N       build and convert: the player's width in the html and
                  bbcode forms, 1 to 4096 (default 480)
  --height N      the same for its height (default 400); bbcode names a
                  size only when --width or --height is given
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

Notices are in Simplified Chinese, Traditional Chinese or English: the first
of the user's languages (LANGUAGE, or else LC_ALL, LC_MESSAGES or LANG) that
is Chinese or English decides; zh_TW and zh-Hant give Taiwan's Traditional
Chinese, zh_HK and zh_MO Hong Kong's, other Chinese, C and POSIX Simplified,
neither English; the JSON "outcome" names are the same in every language.

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
  vidlatch-cli convert --format bbcode --width 640 --height 360 < addresses.txt
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

// Whether `word` is the option `name`, as "NAME=VALUE" or as "NAME VALUE"
// (the next word, then taken); `value` is empty when nothing follows.
bool IsValuedOption(std::string_view word, std::string_view name, int& i, int argc, const char* const* argv,
                    std::string_view& value)
{
    if (word == name) {
        value = i + 1 < argc ? std::string_view(argv[++i]) : std::string_view();
        return true;
    }
    if (word.size() > name.size() && word.starts_with(name) && word[name.size()] == '=') {
        value = word.substr(name.size() + 1);
        return true;
    }
    return false;
}

void SetError(CommandLine& line, std::string error)
{
    if (line.error.empty())
        line.error = std::move(error);
}

void ReadFormat(std::string_view value, CommandLine& line)
{
    line.format = EmbedFormNamed(value);
    if (!line.format)
        SetError(line, "unknown format '" + std::string(value) + "' (address, html, bbcode or markdown)");
}

void ReadSide(std::string_view option, std::string_view value, int EmbedSize::*side, CommandLine& line)
{
    int number = 0;
    const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), number);
    if (error != std::errc() || end != value.data() + value.size() || !IsEmbedSide(number)) {
        SetError(line, std::string(option) + " takes a whole number from 1 to " + std::to_string(MaxEmbedSide) +
                           ", not '" + std::string(value) + "'");
        return;
    }
    if (!line.size)
        line.size = DefaultEmbedSize;
    (*line.size).*side = number;
}

} // namespace

CommandLine ReadCommandLine(int argc, const char* const* argv)
{
    CommandLine line;
    bool haveCommand = false;
    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view word = argv[i];
        std::string_view value;
        if (!optionsEnded && word.size() > 1 && word[0] == '-') {
            if (word == "--") optionsEnded = true;
            else if (word == "-h" || word == "--help") line.help = true;
            else if (word == "--version") line.version = true;
            else if (word == "--json") line.json = true;
            else if (word == "--reject-empty") line.rejectEmpty = true;
            else if (IsValuedOption(word, "--format", i, argc, argv, value)) ReadFormat(value, line);
            else if (IsValuedOption(word, "--width", i, argc, argv, value)) ReadSide("--width", value, &EmbedSize::width, line);
            else if (IsValuedOption(word, "--height", i, argc, argv, value)) ReadSide("--height", value, &EmbedSize::height, line);
            else SetError(line, "unknown option '" + std::string(word) + "'");
            continue;
        }
        if (!haveCommand) {
            if (!CommandFromName(word, line.command))
                SetError(line, "unknown command '" + std::string(word) + "'");
            haveCommand = true;
            continue;
        }
        line.operands.push_back(word);
    }
    if (line.help || line.version)
        return line;
    if (!haveCommand)
        SetError(line, "missing command (parse, build or convert)");
    if (line.rejectEmpty && line.command != CommandKind::Parse)
        SetError(line, "--reject-empty goes with parse only");
    if ((line.format || line.size) && line.command == CommandKind::Parse)
        SetError(line, "--format, --width and --height go with build and convert only");
    return line;
}

} // namespace vidlatch::cli
