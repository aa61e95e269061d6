#pragma once

#include <QString>

#include <functional>
#include <memory>
#include <stdexcept>

class QWidget;

namespace vidlatch::platform {

// Answers of the notice box, as the windows compare them.
enum NoticeAnswer : int { vbOK = 1, vbCancel = 2, vbYes = 6, vbNo = 7 };

// Show states of a started command line.
enum ShowState : int { vbHide = 0, vbNormalFocus = 1, vbMinimizedFocus = 2 };

// An error a component reports to its caller; a handler that does not catch it
// ends in the unhandled-error path.
class ComponentError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The services of the form runtime that the windows call: notices, the input
// dialog, the clipboard, the program folder, starting programs and ending the
// program. Tests put a scripted runtime in place of the Qt one.
class FormRuntime {
public:
    virtual ~FormRuntime() = default;

    // A modal notice; `style` is a message-box style (48, 64 or 67).
    virtual int MsgBox(const QString& text, int style, const QString& title) = 0;
    // A modal input dialog with no default text; Cancel gives the empty string.
    virtual QString InputBox(const QString& prompt, const QString& title) = 0;
    virtual void ClipboardClear() = 0;
    virtual void ClipboardSetText(const QString& text) = 0;
    // The folder that holds the program, without a trailing separator.
    virtual QString AppPath() = 0;
    virtual void Shell(const QString& commandLine, int showState) = 0;
    // Ends the program at once: every window goes, no close event follows.
    virtual void End() = 0;
    virtual bool Ending() const = 0;
    // The status the program exits with, once Ending.
    virtual int EndStatus() const { return 0; }
    // An error that escaped a handler: reported in an error box, then End.
    virtual void ReportUnhandledError(const QString& what) = 0;
};

FormRuntime& Runtime();
// Installs `runtime` for the rest of the run (or of a test); returns the old one.
std::unique_ptr<FormRuntime> SetRuntime(std::unique_ptr<FormRuntime> runtime);

// Runs the event loop until the program ends, and returns its exit status.
// A program that ended before the loop ran (its first window's load failed)
// returns that status at once: an exit asked for before exec() is lost.
int RunEventLoop();

// Runs a handler the way the form runtime does: an error escaping it goes to
// the unhandled-error path instead of unwinding through Qt.
void RunHandler(const std::function<void()>& handler);

// Wraps a handler for connecting to a signal.
template <typename Handler>
auto Guarded(Handler handler)
{
    return [handler](auto&&...) { RunHandler(handler); };
}

} // namespace vidlatch::platform
