#include "WindowStyle.h"

#include "FormRuntime.h"
#include "ScreenReader.h"

#include <QCoreApplication>

#include <QVariant>
#include <QWidget>

namespace vidlatch::platform {
namespace {

constexpr char StyleProperty[] = "vidlatchWindowStyle";
constexpr int QWIDGETSIZE_MAX_ = (1 << 24) - 1;

void ApplyStyle(QWidget* window, std::int32_t style)
{
    if (style & WS_THICKFRAME) {
        window->setMinimumSize(0, 0);
        window->setMaximumSize(QWIDGETSIZE_MAX_, QWIDGETSIZE_MAX_);
    } else {
        window->setFixedSize(window->size());  // min = max: no edge resizes it
    }
}

} // namespace

void InitFormWindow(QWidget* window)
{
    window->setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    window->setProperty(StyleProperty, WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_CLIPCHILDREN);
    InstallScreenReaderRoles();  // a frame to screen readers, like any application window
}

std::int32_t GetWindowLongA(HWND window, int index)
{
    if (!window || index != GWL_STYLE)
        throw ComponentError(QT_TRANSLATE_NOOP("Vidlatch", "无效的窗口句柄"));
    return window->property(StyleProperty).toInt();
}

std::int32_t SetWindowLongA(HWND window, int index, std::int32_t value)
{
    const std::int32_t previous = GetWindowLongA(window, index);
    window->setProperty(StyleProperty, value);
    ApplyStyle(window, value);
    return previous;
}

} // namespace vidlatch::platform
