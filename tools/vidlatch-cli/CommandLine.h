#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vidlatch::cli {

enum class CommandKind { Parse, Build, Convert };

struct CommandLine {
    CommandKind command = CommandKind::Parse;
    bool json = false;
    bool rejectEmpty = false;
    bool help = false;
    bool version = false;
    std::vector<std::string_view> operands;  // none: read standard input
    std::string error;                       // set on a usage error
};

CommandLine ReadCommandLine(int argc, const char* const* argv);

extern const std::string_view HelpText;
extern const std::string_view VersionText;

} // namespace vidlatch::cli
