#pragma once

#include "FormRuntime.h"

namespace vidlatch::platform {

// The form runtime over Qt Widgets, as the program uses it.
class QtFormRuntime : public FormRuntime {
public:
    int MsgBox(const QString& text, int style, const QString& title) override;
    QString InputBox(const QString& prompt, const QString& title) override;
    void ClipboardClear() override;
    void ClipboardSetText(const QString& text) override;
    QString AppPath() override;
    void Shell(const QString& commandLine, int showState) override;
    void End() override;
    bool Ending() const override { return ending_; }
    int EndStatus() const override { return status_; }
    void ReportUnhandledError(const QString& what) override;

protected:
    // Leaves every running event loop; main() then returns `status`.
    virtual void QuitEventLoops(int status);

private:
    void EndWithStatus(int status);

    bool ending_ = false;
    int status_ = 0;
};

// Splits a command line as the Windows runtime does: words separated by
// blanks, double quotes group, no shell ever sees it.
QStringList SplitCommandLine(const QString& commandLine);

} // namespace vidlatch::platform
