#pragma once

#include <QString>

#include <functional>

namespace vidlatch::platform {

// What the user gave Qt to find a display with.
struct DisplaySettings {
    QString platform;        // -platform or QT_QPA_PLATFORM: Qt's plugins to try, ';' between them
    QString x11Display;      // -display or DISPLAY
    QString waylandDisplay;  // WAYLAND_DISPLAY
};

// Whether each kind of display answers, asked of the servers themselves.
struct DisplayProbes {
    std::function<bool(const QString& display)> x11Answers;
    std::function<bool(const QString& display)> waylandAnswers;
    std::function<bool()> waylandPluginInstalled;  // Qt's Wayland plugin (qt6-wayland)
};

struct DisplayChoice {
    QString platform;  // the plugin to ask Qt for; empty leaves the choice to Qt
    QString problem;   // why no window can appear, in one line; empty when one can
};

// Qt ends the program with an abort and a core when none of the plugins it
// tries finds its display. Deciding first lets the program say why instead.
// A platform the user named is kept; only xcb and wayland are checked, the
// others (offscreen, vnc, ...) are Qt's to judge. Left to itself, Qt 6.4
// tries Wayland only in a session that says it is one, so a Wayland display
// that answers where X does not is asked for by name.
[[nodiscard]] DisplayChoice ChooseDisplay(const DisplaySettings& settings, const DisplayProbes& probes);

// The settings from Qt's own options, when given, and the environment.
[[nodiscard]] DisplaySettings DisplaySettingsHere(const QString& platformOption, const QString& displayOption);

// Connects to the X server and the Wayland compositor and hangs up at once.
[[nodiscard]] DisplayProbes SystemDisplayProbes();

} // namespace vidlatch::platform
