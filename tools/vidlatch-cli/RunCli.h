#pragma once

#include <cstdio>
#include <functional>
#include <string>
#include <string_view>

namespace vidlatch::cli {

// A notice's text in the user's language (empty: the notices stay as written).
using NoticeLanguage = std::function<std::u16string(std::u16string_view)>;

// The whole of vidlatch-cli: reads the command line, then the operands or the
// lines of `input`, and writes results to `out` and messages to `err`.
// Returns the exit status.
int RunCli(int argc, const char* const* argv, int input, std::FILE* out, std::FILE* err,
           const NoticeLanguage& language = {});

} // namespace vidlatch::cli
