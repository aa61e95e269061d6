// Which display the windows go to, or why there is none, from what the user
// set and which servers answer.
#include "DisplayChoice.h"

#include <gtest/gtest.h>

namespace vidlatch::platform {
namespace {

struct Case {
    const char* name;
    DisplaySettings settings;
    const char* x11Answering;      // the one X display that answers
    const char* waylandAnswering;  // the one Wayland display that answers
    bool waylandPlugin;
    const char* platform;          // asked of Qt
    const char* problem;           // the whole line, or "" for none
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }

class DisplayTable : public testing::TestWithParam<Case> {};

TEST_P(DisplayTable, ChoiceOrProblem)
{
    const Case& c = GetParam();
    const DisplayProbes probes{[&](const QString& display) { return display == QLatin1String(c.x11Answering); },
                               [&](const QString& display) { return display == QLatin1String(c.waylandAnswering); },
                               [&] { return c.waylandPlugin; }};
    const DisplayChoice choice = ChooseDisplay(c.settings, probes);
    EXPECT_EQ(choice.platform.toStdString(), c.platform);
    EXPECT_EQ(choice.problem.toStdString(), c.problem);
}

INSTANTIATE_TEST_SUITE_P(Environments, DisplayTable, testing::Values(
    Case{"x11_answers", {{}, ":0", {}}, ":0", "", true, "", ""},
    // Qt 6.4 tries Wayland only where XDG_SESSION_TYPE says so: it is named.
    Case{"wayland_only", {{}, {}, "wayland-1"}, "", "wayland-1", true, "wayland", ""},
    Case{"wayland_without_plugin", {{}, {}, "wayland-1"}, "", "wayland-1", false, "",
         "no display: DISPLAY is not set and Qt's Wayland plugin (package qt6-wayland) is not installed; "
         "Vidlatch needs a graphical desktop"},
    // Qt falls back to xcb when its Wayland plugin is missing.
    Case{"x11_beside_wayland_without_plugin", {{}, ":0", "wayland-1"}, ":0", "wayland-1", false, "", ""},
    Case{"both_silent", {{}, ":3", "wayland-9"}, "", "", true, "",
         "no display: cannot connect to display :3 and cannot connect to the Wayland display wayland-9; "
         "Vidlatch needs a graphical desktop"},
    // What the user asked for is kept, and only xcb and wayland are checked.
    Case{"offscreen_asked", {"offscreen", {}, {}}, "", "", true, "", ""},
    Case{"wayland_asked_default_socket", {"wayland", {}, {}}, "", "wayland-0", true, "", ""},
    Case{"wayland_egl_asked_silent", {"wayland-egl", ":0", "wayland-2"}, ":0", "", true, "",
         "no display for the platform 'wayland-egl': cannot connect to the Wayland display wayland-2; "
         "Vidlatch needs a graphical desktop"},
    Case{"list_falls_back", {"wayland;xcb", ":0", {}}, ":0", "", true, "", ""},
    Case{"list_all_silent", {"xcb;xcb;wayland", ":1", {}}, "", "", true, "",
         "no display for the platform 'xcb;xcb;wayland': cannot connect to display :1 and cannot connect to the "
         "Wayland display wayland-0; Vidlatch needs a graphical desktop"}
), [](const testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });

} // namespace
} // namespace vidlatch::platform
