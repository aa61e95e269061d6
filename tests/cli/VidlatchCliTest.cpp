// Runs the real vidlatch-cli executable and checks what a script sees:
// standard output, standard error and the exit status.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct CliRun {
    int status = -1;
    std::string out;
    std::string err;
    long maxRssKiB = 0;
};

std::string TempPath(const char* name)
{
    return testing::TempDir() + "vidlatch-cli-" + std::to_string(::getpid()) + "-" + name;
}

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Runs the tool on the given standard input and output, with SIGPIPE
// ignored, as a shell with `trap '' PIPE` would, and 60 s to finish (status
// -1 when it did not).
CliRun RunCliOn(const std::vector<std::string>& args, int in, int out)
{
    const std::string errPath = TempPath("err");
    std::vector<char*> argv;
    std::string program = VIDLATCH_CLI_PATH;
    argv.push_back(program.data());
    std::vector<std::string> copies(args);
    for (std::string& arg : copies)
        argv.push_back(arg.data());
    argv.push_back(nullptr);

    const pid_t child = ::fork();
    if (child == 0) {
        ::signal(SIGPIPE, SIG_IGN);  // both kept across exec
        ::alarm(60);
        const int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        ::dup2(in, 0);
        ::dup2(out, 1);
        ::dup2(err, 2);
        ::closefrom(3);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    CliRun run;
    int status = 0;
    rusage usage{};
    ::wait4(child, &status, 0, &usage);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.maxRssKiB = usage.ru_maxrss;
    run.err = ReadFile(errPath);
    std::remove(errPath.c_str());
    return run;
}

CliRun RunCliFromFile(const std::vector<std::string>& args, const std::string& stdinPath)
{
    const std::string outPath = TempPath("out");
    const int in = ::open(stdinPath.c_str(), O_RDONLY);
    const int out = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    CliRun run = RunCliOn(args, in, out);
    ::close(in);
    ::close(out);
    run.out = ReadFile(outPath);
    std::remove(outPath.c_str());
    return run;
}

CliRun RunCli(const std::vector<std::string>& args, const std::string& input = "")
{
    const std::string inPath = TempPath("in");
    std::ofstream(inPath, std::ios::binary) << input;
    CliRun run = RunCliFromFile(args, inPath);
    std::remove(inPath.c_str());
    return run;
}

const std::string Page = "http://v.vidsite.example/page/W/f/t/a1b2c3d4e5f.html";
const std::string Player = "http://static.vidsite.example/v1/res/vidplayer.swf?f=3&vid=a1b2c3d4e5f";

struct CliCase {
    const char* name;
    std::vector<std::string> args;
    std::string input;
    int status;
    std::string out;
};

void PrintTo(const CliCase& c, std::ostream* os) { *os << c.name; }

class CliTable : public testing::TestWithParam<CliCase> {};

TEST_P(CliTable, OutputAndStatus)
{
    const CliCase& c = GetParam();
    const CliRun run = RunCli(c.args, c.input);
    EXPECT_EQ(run.status, c.status) << run.err;
    EXPECT_EQ(run.out, c.out);
}

INSTANTIATE_TEST_SUITE_P(Commands, CliTable, testing::Values(
    CliCase{"parse_operand", {"parse", Page}, "", 0, "a1b2c3d4e5f\n"},
    CliCase{"parse_rejected_operand", {"parse", "http://x/"}, "", 1, "您当前获取的视频地址页面有误!请您检查!\n"},
    CliCase{"parse_empty_operand", {"parse", ""}, "", 1, "您当前获取的视频地址页面有误!请您检查!\n"},
    CliCase{"parse_reject_empty", {"parse", "--reject-empty", ""}, "", 1, "您未输入视频网页地址\n"},
    CliCase{"parse_mixed", {"parse", Page, "http://v.vidsite.example/p/q/r/index.html"}, "", 1,
            "a1b2c3d4e5f\n抱歉!本程序不支持专辑视频地址获取\n"},
    CliCase{"build_operand", {"build", "a1b2c3d4e5f"}, "", 0, Player + "\n"},
    CliCase{"build_short", {"build", "a1b2"}, "", 1, "视频代码位数不正确!请重新输入!\n"},
    CliCase{"convert_operand", {"convert", Page}, "", 0, Player + "\n"},
    // A paste's trailing spaces (here an ASCII and an ideographic one) end the address.
    CliCase{"convert_trailing_spaces", {"convert", "--json", Page + " \xE3\x80\x80"}, "", 0,
            "{\"input\":\"" + Page + " \u3000\",\"outcome\":\"AddressReady\",\"code\":\"a1b2c3d4e5f\",\"address\":\"" +
                Player + "\",\"notice\":\"获取成功!地址已获取成功!!您可直接享受在线观看特权!\\r\\n \\r\\n欢迎加入Brightfold：【http://bbs.brightfold.example/】\",\"style\":64}\n"},
    CliCase{"convert_trailing_space_lines", {"convert"}, Page + " \n" + Page + "  \n", 0, Player + "\n" + Player + "\n"},
    CliCase{"convert_code_too_short", {"convert", "http://v.vidsite.example/cover/?vid=a1b2c"}, "", 1,
            "视频代码位数不正确!请重新输入!\n"},
    CliCase{"options_after_operands", {"convert", Page, "--json"}, "", 0,
            "{\"input\":\"" + Page + "\",\"outcome\":\"AddressReady\",\"code\":\"a1b2c3d4e5f\",\"address\":\"" + Player +
                "\",\"notice\":\"获取成功!地址已获取成功!!您可直接享受在线观看特权!\\r\\n \\r\\n欢迎加入Brightfold：【http://bbs.brightfold.example/】\",\"style\":64}\n"},
    // Embed forms: the address stays the address in JSON; rejections print as ever.
    CliCase{"build_format_html", {"build", "--format", "html", "a1b2c3d4e5f"}, "", 0,
            "<embed src=\"http://static.vidsite.example/v1/res/vidplayer.swf?f=3&amp;vid=a1b2c3d4e5f\" "
            "type=\"application/x-shockwave-flash\" width=\"480\" height=\"400\" "
            "allowfullscreen=\"true\" allowscriptaccess=\"never\">\n"},
    CliCase{"convert_format_bbcode_sized", {"convert", "--format=bbcode", "--width", "640", "--height=360", Page}, "", 0,
            "[flash=640,360]" + Player + "[/flash]\n"},
    CliCase{"build_width_alone_keeps_default_height", {"build", "--width", "4096", "--format", "bbcode", "a1b2c3d4e5f"},
            "", 0, "[flash=4096,400]" + Player + "[/flash]\n"},
    CliCase{"build_format_markdown_json", {"build", "--json", "--format", "markdown", "a1b2c3d4e5f", "a1b2"}, "", 1,
            "{\"input\":\"a1b2c3d4e5f\",\"outcome\":\"AddressReady\",\"address\":\"" + Player +
                "\",\"embed\":\"[Vidsite a1b2c3d4e5f](" + Player + ")\",\"notice\":\"获取成功!地址已获取成功!!您可直接享受在线观看特权!"
                "\\r\\n \\r\\n欢迎加入Brightfold：【http://bbs.brightfold.example/】\",\"style\":64}\n"
                "{\"input\":\"a1b2\",\"outcome\":\"CodeLengthWrong\",\"notice\":\"视频代码位数不正确!请重新输入!\",\"style\":48}\n"},
    CliCase{"convert_format_rejected_as_ever", {"convert", "--format", "html", "http://x/"}, "", 1,
            "您当前获取的视频地址页面有误!请您检查!\n"},
    CliCase{"double_dash_operand", {"build", "--", "--json"}, "", 1, "视频代码位数不正确!请重新输入!\n"},
    // Standard input: CRLF and LF endings, an empty line, a last line without newline.
    CliCase{"stdin_lines", {"convert"}, Page + "\r\n\n" + Page, 1,
            Player + "\n您未输入视频网页地址\n" + Player + "\n"},
    CliCase{"stdin_empty", {"parse"}, "", 0, ""},
    // The line-length limit (1 MiB): at the limit a line is processed, over it
    // it is skipped with an empty line, with or without its newline.
    CliCase{"stdin_line_at_limit", {"convert"}, std::string(1 << 20, 'x') + "\r\n" + Page, 1,
            "您当前获取的视频地址页面有误!请您检查!\n" + Player + "\n"},
    CliCase{"stdin_line_over_limit", {"convert"}, Page + "\n" + std::string((1 << 20) + 1, 'x') + "\n" + Page, 2,
            Player + "\n\n" + Player + "\n"},
    CliCase{"stdin_last_line_over_limit", {"build"}, "a1b2c3d4e5f\n" + std::string(3 << 20, 'x'), 2,
            Player + "\n\n"},
    CliCase{"stdin_line_over_limit_json", {"parse", "--json"}, std::string((1 << 20) + 7, 'x') + "\n", 2,
            "{\"line\":1,\"outcome\":\"TooLong\",\"error\":\"line 1 is longer than the limit of 1048576 bytes\"}\n"},
    CliCase{"usage_no_command", {}, "", 2, ""},
    CliCase{"usage_unknown_command", {"fetch", Page}, "", 2, ""},
    CliCase{"usage_unknown_option", {"parse", "--jsn", Page}, "", 2, ""},
    CliCase{"usage_reject_empty_with_build", {"build", "--reject-empty"}, "", 2, ""},
    CliCase{"usage_unknown_format", {"build", "--format", "flash", "a1b2c3d4e5f"}, "", 2, ""},
    CliCase{"usage_format_without_value", {"build", "--format"}, "", 2, ""},
    CliCase{"usage_format_with_parse", {"parse", "--format", "html", Page}, "", 2, ""},
    CliCase{"usage_width_zero", {"build", "--width", "0", "a1b2c3d4e5f"}, "", 2, ""},
    CliCase{"usage_height_over_limit", {"convert", "--height=4097", Page}, "", 2, ""},
    CliCase{"usage_width_not_a_number", {"build", "--width", "12px", "a1b2c3d4e5f"}, "", 2, ""}
), [](const testing::TestParamInfo<CliCase>& info) { return std::string(info.param.name); });

TEST(Cli, HelpShowsUsageAndExamples)
{
    const CliRun run = RunCli({"--help"});
    EXPECT_EQ(run.status, 0);
    EXPECT_NE(run.out.find("vidlatch-cli convert"), std::string::npos);
    EXPECT_NE(run.out.find("Examples:"), std::string::npos);
    EXPECT_NE(run.out.find("--version"), std::string::npos);
    EXPECT_NE(run.out.find("--format FORM"), std::string::npos);
    const CliRun bad = RunCli({"nonsense"});
    EXPECT_NE(bad.err.find("unknown command 'nonsense'"), std::string::npos);
}

// "vidlatch-cli 4.0\n": the name, then two or more numbers joined by dots.
// (By hand: <regex> alone doubled this file's build.)
bool IsVersionLine(const std::string& line)
{
    const std::string name = "vidlatch-cli ";
    if (line.rfind(name, 0) != 0 || line.back() != '\n')
        return false;
    const std::string version = line.substr(name.size(), line.size() - name.size() - 1);
    return !version.empty() && version.find_first_not_of("0123456789.") == std::string::npos &&
           version.front() != '.' && version.back() != '.' && version.find("..") == std::string::npos &&
           version.find('.') != std::string::npos;
}

TEST(Cli, VersionIsOneLineWhateverElseIsGiven)
{
    for (const char* wrong : {"vidlatch-cli 4\n", "vidlatch-cli 4.\n", "vidlatch-cli 4.0", "vidlatch-cli .4\n",
                              "vidlatch-cli 4..0\n", "vidlatch-cli 4.0 \n", "vidlatch 4.0\n"})
        EXPECT_FALSE(IsVersionLine(wrong)) << wrong;
    const CliRun run = RunCli({"convert", "--jsn", "--version", Page});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(IsVersionLine(run.out)) << run.out;
}

TEST(Cli, InvalidUtf8LineIsReportedAndTheOthersGoOn)
{
    // Where a line is not UTF-8, a control character in it has no column.
    const std::string input = Page + "\n" + "bad\xC3(\n" + "\xED\xA0\x80\n" + "\x1B\xFF\n" + "a1b2c3d4e5f\n";
    const CliRun plain = RunCli({"parse"}, input);
    EXPECT_EQ(plain.status, 2);
    EXPECT_EQ(plain.out, "a1b2c3d4e5f\n\n\n\n您当前获取的视频地址页面有误!请您检查!\n");
    EXPECT_NE(plain.err.find("line 2: not valid UTF-8"), std::string::npos);
    EXPECT_NE(plain.err.find("line 3: not valid UTF-8"), std::string::npos);
    EXPECT_NE(plain.err.find("line 4: not valid UTF-8"), std::string::npos);

    const CliRun json = RunCli({"build", "--json"}, "a1b2c3d4e5f\n\xFF\n");
    EXPECT_EQ(json.status, 2);
    EXPECT_NE(json.out.find("{\"line\":2,\"outcome\":\"InvalidUtf8\",\"error\":\"line 2 is not valid UTF-8\"}\n"),
              std::string::npos);
    EXPECT_EQ(json.out.find("{\"input\":\"a1b2c3d4e5f\",\"outcome\":\"AddressReady\""), 0u);

    const CliRun argument = RunCli({"build", "a1b2c3d4e5f", "\xC0\xAF"});
    EXPECT_EQ(argument.status, 2);
    EXPECT_NE(argument.err.find("argument 2: not valid UTF-8"), std::string::npos);
}

// The notices follow the user's languages; the outcome names do not.
TEST(Cli, NoticesInTheUsersLanguage)
{
    struct Row {
        const char* language;  // LANGUAGE
        const char* notice;
    };
    // (Which languages count as English is the pure rule's table.)
    const Row rows[] = {
        {"en", "The video code has the wrong length. Please enter it again."},
        {"fr", "The video code has the wrong length. Please enter it again."},  // neither: English
        {"C", "视频代码位数不正确!请重新输入!"},
        {"zh_TW", "影片代碼位數不正確!請重新輸入!"},
    };
    const std::string pinned = std::getenv("LANGUAGE") ? std::getenv("LANGUAGE") : "";
    for (const Row& row : rows) {
        ::setenv("LANGUAGE", row.language, 1);
        const CliRun plain = RunCli({"build", "a1b2c3d4e5"});
        const CliRun json = RunCli({"build", "--json", "a1b2c3d4e5"});
        EXPECT_EQ(plain.out, std::string(row.notice) + "\n") << row.language;
        EXPECT_EQ(json.out, std::string("{\"input\":\"a1b2c3d4e5\",\"outcome\":\"CodeLengthWrong\",")
                                + "\"notice\":\"" + row.notice + "\",\"style\":48}\n") << row.language;
    }
    ::setenv("LANGUAGE", pinned.c_str(), 1);
}

TEST(Cli, JsonEscapesEverythingIntoValidUtf8)
{
    // A quote, a backslash, and a code whose window cut a surrogate pair in
    // half (a lone low surrogate).
    const std::string address = "http://v.vidsite.example/p/q/r/\xF0\x9F\x98\x80" "a1b2c3d4e5.html?\"\\";
    const CliRun run = RunCli({"parse", "--json", address});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out,
              "{\"input\":\"http://v.vidsite.example/p/q/r/\xF0\x9F\x98\x80" "a1b2c3d4e5.html?\\\"\\\\\","
              "\"outcome\":\"CodeTaken\",\"code\":\"\\ude00a1b2c3d4e5\","
              "\"notice\":\"视频地址已获取成功!现转入主界面,请点击获取按钮获取真实视频地址!\",\"style\":64}\n");
    // Plain output cannot carry a lone surrogate: it becomes U+FFFD.
    const CliRun plain = RunCli({"parse", address});
    EXPECT_EQ(plain.out, "\xEF\xBF\xBD" "a1b2c3d4e5\n");
}

struct ControlCase {
    const char* name;
    const char* command;
    std::string item;  // between two good items, from standard input or as an operand
    const char* character;
    int column;
};

void PrintTo(const ControlCase& c, std::ostream* os) { *os << c.name; }

class ControlTable : public testing::TestWithParam<ControlCase> {};

// A control character refuses its item, whatever path the item takes, with an
// empty line or a JSON error record; the items around it go on.
TEST_P(ControlTable, RefusedWithItsColumn)
{
    const ControlCase& c = GetParam();
    const std::string good = c.command == std::string("build") ? "a1b2c3d4e5f" : Page;
    const std::string result = RunCli({c.command, good}).out;
    const std::string problem = std::string("control character U+") + c.character + " at column " + std::to_string(c.column);
    for (const bool operands : {false, true}) {
        if (operands && c.item.find('\0') != std::string::npos)
            continue;  // no argument can hold a NUL
        const char* what = operands ? "argument" : "line";
        const CliRun plain = operands ? RunCli({c.command, "--", good, c.item, good})
                                      : RunCli({c.command}, good + "\n" + c.item + "\n" + good + "\n");
        EXPECT_EQ(plain.status, 2) << what;
        EXPECT_EQ(plain.out, result + "\n" + result) << what;
        EXPECT_EQ(plain.err, std::string("vidlatch-cli: ") + what + " 2: " + problem + "\n");

        const CliRun json = operands ? RunCli({c.command, "--json", "--", c.item})
                                     : RunCli({c.command, "--json"}, c.item + "\n");
        EXPECT_EQ(json.out, std::string("{\"") + what + "\":1,\"column\":" + std::to_string(c.column) +
                                ",\"outcome\":\"ControlCharacter\",\"error\":\"" + what + " 1 has " + problem + "\"}\n");
    }
}

INSTANTIATE_TEST_SUITE_P(Items, ControlTable, testing::Values(
    ControlCase{"nul_in_code", "build", std::string("a1b2c3d4e5\0", 11), "0000", 11},
    ControlCase{"cr_before_crlf", "build", "a1b2c3d4e5f\r\r", "000D", 12},
    ControlCase{"lone_cr", "build", "a1b2c\rd4e5f", "000D", 6},
    ControlCase{"escape_sequence", "parse", "\x1B[2J" + Page, "001B", 1},
    ControlCase{"del_after_chinese", "convert", "\xE8\xA7\x86\xE9\xA2\x91\x7F", "007F", 3}
), [](const testing::TestParamInfo<ControlCase>& info) { return std::string(info.param.name); });

// ASCII lines take the byte path and the others the UTF-16 path; mixed in one
// run, each line must come out as it does alone, whatever came before it.
TEST(Cli, EachLineComesOutAsItDoesAloneWhateverItsNeighbours)
{
    const std::string lines[] = {
        "http://v.vidsite.example/page/W/f/t/a1b2c3d4e5f.html",
        "http://v.vidsite.example/page/W/f/t/\xE8\xA7\x86" "b2c3d4e5f6.html",
        "http://v.vidsite.example/album/2009/x/index.html",
        "\xE8\xA7\x86 http://v.vidsite.example/cover/x/y.html?vid=c3d4e5f6g7h",
        "http://v.vidsite.example/cover/x/y.html?vid=",
        "http://v.vidsite.example/p/q/r/d4e5.html?x=\"\\",
        "",
        "\xE8\xA7\x86",
    };
    for (const char* command : {"parse", "build", "convert"}) {
        for (const bool json : {false, true}) {
            std::string input, expected;
            for (const std::string& line : lines) {
                input += line + "\n";
                expected += RunCli({command, json ? "--json" : "--", line}).out;
            }
            // Twice over, so that each line follows each kind of line.
            const CliRun mixed = RunCli(json ? std::vector<std::string>{command, "--json"}
                                             : std::vector<std::string>{command},
                                        input + input);
            EXPECT_EQ(mixed.out, expected + expected) << command << " json=" << json;
        }
    }
}

CliRun ConvertGeneratedLines(int lines)
{
    const std::string inPath = TempPath("many");
    {
        std::ofstream in(inPath, std::ios::binary);
        for (int i = 0; i < lines; ++i)
            in << "http://v.vidsite.example/page/W/f/t/a1b2c3d" << (1000 + i % 9000) << ".html\n";
    }
    CliRun run = RunCliFromFile({"convert"}, inPath);
    std::remove(inPath.c_str());
    return run;
}

TEST(Cli, HugeLineIsReadPastWithoutBeingKept)
{
    const std::string inPath = TempPath("huge");
    {
        std::ofstream in(inPath, std::ios::binary);
        in << Page << "\n";
        const std::string block(1 << 20, 'x');
        for (int i = 0; i < 64; ++i)
            in << block;
        in << "\n" << Page << "\n";
    }
    const CliRun huge = RunCliFromFile({"convert"}, inPath);
    std::remove(inPath.c_str());
    const CliRun small = RunCli({"convert"}, Page + "\n");
    EXPECT_EQ(huge.status, 2);
    EXPECT_EQ(huge.out, Player + "\n\n" + Player + "\n");
    EXPECT_NE(huge.err.find("line 2: longer than the limit of 1048576 bytes"), std::string::npos) << huge.err;
    // 64 MiB went through; none of it stayed.
    EXPECT_LT(huge.maxRssKiB - small.maxRssKiB, 4 * 1024) << small.maxRssKiB << " KiB vs " << huge.maxRssKiB << " KiB";
}

// Reads from `fd` until `wanted` lines have come or the pipe has been quiet for `ms`.
std::string ReadLines(int fd, int wanted, int ms)
{
    std::string got;
    while (std::count(got.begin(), got.end(), '\n') < wanted) {
        pollfd ready{fd, POLLIN, 0};
        if (::poll(&ready, 1, ms) <= 0)
            break;
        char chunk[4096];
        const ssize_t n = ::read(fd, chunk, sizeof chunk);
        if (n <= 0)
            break;
        got.append(chunk, static_cast<std::size_t>(n));
    }
    return got;
}

TEST(Cli, ResultsFollowALivePipelineLineByLine)
{
    int toCli[2], fromCli[2];
    ASSERT_EQ(::pipe(toCli), 0);
    ASSERT_EQ(::pipe(fromCli), 0);
    const pid_t child = ::fork();
    if (child == 0) {
        ::dup2(toCli[0], 0);
        ::dup2(fromCli[1], 1);
        for (int fd : {toCli[0], toCli[1], fromCli[0], fromCli[1]})
            ::close(fd);
        ::execl(VIDLATCH_CLI_PATH, VIDLATCH_CLI_PATH, "convert", static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::close(toCli[0]);
    ::close(fromCli[1]);
    // Each line's result arrives while standard input is still open.
    for (int round = 0; round < 3; ++round) {
        const std::string line = Page + "\n";
        ASSERT_EQ(::write(toCli[1], line.data(), line.size()), static_cast<ssize_t>(line.size()));
        EXPECT_EQ(ReadLines(fromCli[0], 1, 10000), Player + "\n") << "round " << round;
    }
    ::close(toCli[1]);
    EXPECT_EQ(ReadLines(fromCli[0], 1, 10000), "");  // end of output, nothing more
    ::close(fromCli[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

TEST(Cli, StreamsManyLinesInBoundedMemory)
{
    const CliRun few = ConvertGeneratedLines(20000);
    const CliRun many = ConvertGeneratedLines(400000);
    EXPECT_EQ(many.status, 0) << many.err;
    EXPECT_EQ(std::count(many.out.begin(), many.out.end(), '\n'), 400000);
    EXPECT_EQ(many.out.substr(0, Player.size() - 4), Player.substr(0, Player.size() - 4));
    // Twenty times the lines (25 MB in, 30 MB out) must not grow the process.
    EXPECT_LT(many.maxRssKiB - few.maxRssKiB, 2 * 1024) << few.maxRssKiB << " KiB vs " << many.maxRssKiB << " KiB";
}

// Where standard output goes: a device that is always full, or a pipe nobody
// reads (with SIGPIPE ignored, so that writes fail with EPIPE).
enum class Sink { FullDevice, ClosedPipe };

struct WriteFailureCase {
    const char* name;
    std::vector<std::string> args;
    std::string input;
    bool heldOpen;  // standard input is a pipe that stays open after `input`; else a file
    Sink sink;
};

void PrintTo(const WriteFailureCase& c, std::ostream* os) { *os << c.name; }

std::string Lines(const std::string& line, int count)
{
    std::string lines;
    while (count-- > 0)
        lines += line + "\n";
    return lines;
}

class WriteFailureTable : public testing::TestWithParam<WriteFailureCase> {};

// The first failed write ends the run: one message, status 4, no more input.
TEST_P(WriteFailureTable, StopsWithOneMessage)
{
    const WriteFailureCase& c = GetParam();
    const std::string inPath = TempPath("in");
    int in[2] = {-1, -1}, out[2] = {-1, -1};
    if (c.heldOpen) {
        ASSERT_EQ(::pipe(in), 0);
        ASSERT_EQ(::write(in[1], c.input.data(), c.input.size()), static_cast<ssize_t>(c.input.size()));
    } else {
        std::ofstream(inPath, std::ios::binary) << c.input;
        in[0] = ::open(inPath.c_str(), O_RDONLY);  // shares its offset with the tool
    }
    if (c.sink == Sink::FullDevice)
        out[1] = ::open("/dev/full", O_WRONLY);
    else
        ASSERT_EQ(::pipe(out), 0);
    ::close(out[0]);
    const CliRun run = RunCliOn(c.args, in[0], out[1]);
    const off_t inputRead = ::lseek(in[0], 0, SEEK_CUR);
    for (int fd : {in[0], in[1], out[1]})
        ::close(fd);
    std::remove(inPath.c_str());

    EXPECT_EQ(run.status, 4);
    const int error = c.sink == Sink::FullDevice ? ENOSPC : EPIPE;
    EXPECT_EQ(run.err, std::string("vidlatch-cli: writing standard output: ") + std::strerror(error) + "\n");
    if (!c.heldOpen) {
        EXPECT_LT(inputRead, std::max<off_t>(1, static_cast<off_t>(c.input.size()))) << "read on after the failure";
    }
}

INSTANTIATE_TEST_SUITE_P(Outputs, WriteFailureTable, testing::Values(
    WriteFailureCase{"help_full", {"--help"}, "", false, Sink::FullDevice},
    WriteFailureCase{"version_full", {"--version"}, "", false, Sink::FullDevice},
    WriteFailureCase{"operand_full", {"build", "a1b2c3d4e5f"}, "", false, Sink::FullDevice},
    WriteFailureCase{"lines_full", {"convert", "--json"}, Lines(Page, 100000), false, Sink::FullDevice},
    WriteFailureCase{"lines_closed_pipe", {"build"}, Lines("a1b2c3d4e5f", 100000), false, Sink::ClosedPipe},
    // Results are flushed when input waits; that flush failing must not wait on.
    WriteFailureCase{"waiting_input_closed_pipe", {"parse"}, Page + "\n", true, Sink::ClosedPipe}
), [](const testing::TestParamInfo<WriteFailureCase>& info) { return std::string(info.param.name); });

} // namespace
