#pragma once

#include <cstdint>

class QWidget;

namespace vidlatch::platform {

// The window style word of our windows, kept as the Windows calls read and
// write it; the parts that matter are applied to the Qt window.
using HWND = QWidget*;

inline constexpr int GWL_STYLE = -16;

inline constexpr std::int32_t WS_MAXIMIZEBOX = 0x00010000;
inline constexpr std::int32_t WS_MINIMIZEBOX = 0x00020000;
inline constexpr std::int32_t WS_THICKFRAME = 0x00040000;
inline constexpr std::int32_t WS_SYSMENU = 0x00080000;
inline constexpr std::int32_t WS_BORDER = 0x00800000;
inline constexpr std::int32_t WS_DLGFRAME = 0x00400000;
inline constexpr std::int32_t WS_CAPTION = WS_BORDER | WS_DLGFRAME;
inline constexpr std::int32_t WS_CLIPCHILDREN = 0x02000000;
inline constexpr std::int32_t WS_VISIBLE = 0x10000000;

// Makes `window` a top-level form: title and close box, no maximize or
// minimize button, and the style word of a window with a sizing border.
void InitFormWindow(QWidget* window);

std::int32_t GetWindowLongA(HWND window, int index);
// Stores the style word; without WS_THICKFRAME the window cannot be resized
// from any edge. Returns the previous value.
std::int32_t SetWindowLongA(HWND window, int index, std::int32_t value);

} // namespace vidlatch::platform
