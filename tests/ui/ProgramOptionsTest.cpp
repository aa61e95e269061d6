// The program's command line, read before any QApplication: its own two
// options, Qt's let through, and everything else refused.
#include "ProgramOptions.h"

#include <gtest/gtest.h>

namespace vidlatch::ui {
namespace {

using Action = ProgramOptions::Action;

struct Case {
    const char* name;
    QStringList arguments;  // after the program's name
    Action action;
    const char* text;  // the start of the text, or of the error
    const char* platform = "";
    const char* display = "";
    bool instanceNamed = false;
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }

class OptionsTable : public testing::TestWithParam<Case> {};

TEST_P(OptionsTable, ActionAndQtOptions)
{
    const Case& c = GetParam();
    const ProgramOptions options = ReadProgramOptions(QStringList{QStringLiteral("/usr/bin/vidlatch")} + c.arguments);
    EXPECT_EQ(options.action, c.action);
    const QString start = QString::fromUtf8(c.text);
    EXPECT_EQ(options.text.left(start.size()), start);
    EXPECT_EQ(options.text.isEmpty(), start.isEmpty()) << options.text.toStdString();
    EXPECT_EQ(options.platform.toStdString(), c.platform);
    EXPECT_EQ(options.display.toStdString(), c.display);
    EXPECT_EQ(options.instanceNamed, c.instanceNamed);
}

INSTANTIATE_TEST_SUITE_P(CommandLines, OptionsTable, testing::Values(
    Case{"none", {}, Action::Run, ""},
    Case{"help", {"--help"}, Action::Help, "Usage: vidlatch [options]\n"},
    Case{"help_short", {"-h"}, Action::Help, "Usage: vidlatch [options]\n"},
    Case{"version", {"--version"}, Action::Version, "vidlatch " VIDLATCH_VERSION "\n"},
    Case{"version_beside_an_error", {"--frob", "--version", "stray"}, Action::Version, "vidlatch "},
    Case{"unknown_option", {"--frob"}, Action::UsageError, "Unknown option 'frob'"},
    Case{"short_options_not_bundled", {"-hv"}, Action::UsageError, "Unknown option 'hv'"},
    Case{"argument", {"a1b2c3d4e5f"}, Action::UsageError, "unexpected argument 'a1b2c3d4e5f'"},
    Case{"argument_after_double_dash", {"--", "--help"}, Action::UsageError, "unexpected argument '--help'"},
    Case{"qt_value_missing", {"-platform"}, Action::UsageError, "Missing value after '-platform'"},
    Case{"qt_options", {"-platform", "offscreen", "-display", ":3", "-name", "mine", "-style=fusion", "-reverse"},
         Action::Run, "", "offscreen", ":3", true},
    Case{"qt_options_double_dash", {"--platform", "wayland"}, Action::Run, "", "wayland"}
), [](const testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });

TEST(ProgramOptions, HelpShowsOnlyTheProgramsOwnOptions)
{
    const QString help = ReadProgramOptions({QStringLiteral("vidlatch"), QStringLiteral("--help")}).text;
    EXPECT_TRUE(help.contains(QLatin1String("--version")));
    EXPECT_FALSE(help.contains(QLatin1String("-stylesheet"))) << "Qt's options are Qt's to document";
    EXPECT_FALSE(help.contains(QLatin1String("<executable_name>")));
}

} // namespace
} // namespace vidlatch::ui
