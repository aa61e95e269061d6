#pragma once

#include "EmbedCode.h"

#include <optional>
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
    std::optional<EmbedForm> format;  // --format: the results in that form, and "embed" in JSON
    std::optional<EmbedSize> size;    // --width, --height: each side not given keeps its default
    std::vector<std::string_view> operands;  // none: read standard input
    std::string error;                       // set on a usage error
};

CommandLine ReadCommandLine(int argc, const char* const* argv);

extern const std::string_view HelpText;
extern const std::string_view VersionText;

} // namespace vidlatch::cli
