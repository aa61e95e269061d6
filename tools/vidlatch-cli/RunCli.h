#pragma once

#include <cstdio>

namespace vidlatch::cli {

// The whole of vidlatch-cli: reads the command line, then the operands or the
// lines of `input`, and writes results to `out` and messages to `err`.
// Returns the exit status.
int RunCli(int argc, const char* const* argv, int input, std::FILE* out, std::FILE* err);

} // namespace vidlatch::cli
