// The line scan that sends a line down the byte path or refuses it for a
// control character: a block at a time, so lines are placed across block
// edges and the overlapping last block.
#include "Utf8.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using vidlatch::cli::ColumnAt;
using vidlatch::cli::ScanLine;

struct ScanCase {
    const char* name;
    std::string line;
    bool ascii;
    std::size_t column;  // of the first control character; 0 for none
};

void PrintTo(const ScanCase& c, std::ostream* os) { *os << c.name; }

std::string Filler(std::size_t bytes) { return std::string(bytes, 'x'); }

class LineScanTable : public testing::TestWithParam<ScanCase> {};

TEST_P(LineScanTable, FindsAsciiAndTheFirstControlColumn)
{
    const ScanCase& c = GetParam();
    const vidlatch::cli::LineScan scan = ScanLine(c.line);
    EXPECT_EQ(scan.ascii, c.ascii);
    const bool found = scan.control != std::string::npos;
    EXPECT_EQ(found ? ColumnAt(c.line, scan.control) : 0, c.column);
}

INSTANTIATE_TEST_SUITE_P(Lines, LineScanTable, testing::Values(
    ScanCase{"empty", "", true, 0},
    ScanCase{"printable_short", " ~a1b2c3d4e5f", true, 0},
    ScanCase{"printable_blocks", " ~" + Filler(37), true, 0},
    ScanCase{"unit_separator_short", "ab\x1F", true, 3},
    ScanCase{"nul_first", std::string(1, '\0') + Filler(40), true, 1},
    ScanCase{"tab_end_of_block", Filler(15) + "\t" + Filler(20), true, 16},
    ScanCase{"cr_start_of_block", Filler(16) + "\r" + Filler(20), true, 17},
    ScanCase{"escape_in_overlap", Filler(38) + "\x1B" + "x", true, 39},
    ScanCase{"del_last", Filler(32) + "\x7F", true, 33},
    ScanCase{"first_of_two", Filler(20) + "\x01" + Filler(20) + "\x02", true, 21},
    // Bytes from 0x80 up are not controls, though a signed compare puts them below the space.
    ScanCase{"high_bytes_only", std::string(34, '\xFF') + "\x80\xA0\x9F", false, 0},
    ScanCase{"c1_control_is_not_refused", Filler(20) + "\xC2\x85", false, 0},
    ScanCase{"control_then_non_ascii", Filler(3) + "\x1B" + Filler(30) + "\xC3\xA9", false, 4},
    ScanCase{"non_ascii_then_control", "\xC3\xA9\x1B", false, 2},
    ScanCase{"counted_in_characters", "\xE8\xA7\x86\xE9\xA2\x91" + Filler(20) + "\x7F", false, 23},
    ScanCase{"astral_is_one_character", "\xF0\x9F\x98\x80" "a\x07", false, 3}
), [](const testing::TestParamInfo<ScanCase>& info) { return std::string(info.param.name); });

} // namespace
