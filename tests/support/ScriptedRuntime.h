#pragma once

#include "FormRuntime.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

namespace vidlatch::test {

// A form runtime whose notices and dialogs answer from a script and which
// records every call in order. The clipboard is the real one.
class ScriptedRuntime : public platform::FormRuntime {
public:
    struct Call {
        QString kind;  // MsgBox, InputBox, ClipboardClear, ClipboardSetText, Shell, End, Error
        QString text;
        QString title;
        int style = 0;
    };

    QList<Call> calls;
    QList<int> answers;     // for MsgBox, in order; none left: OK (Cancel for style 67)
    QStringList inputs;     // for InputBox, in order; none left: "" (Cancel)
    std::function<void(const Call&)> whileOpen;  // runs while a notice or dialog is "open"

    int MsgBox(const QString& text, int style, const QString& title) override;
    QString InputBox(const QString& prompt, const QString& title) override;
    void ClipboardClear() override;
    void ClipboardSetText(const QString& text) override;
    QString AppPath() override;
    void Shell(const QString& commandLine, int showState) override;
    void End() override;
    bool Ending() const override { return ending_; }
    void ReportUnhandledError(const QString& what) override;

    QList<Call> Notices() const;
    QStringList Kinds() const;

private:
    bool ending_ = false;
};

// Installs a scripted runtime for the life of this object.
class ScriptedRuntimeScope {
public:
    ScriptedRuntimeScope();
    ~ScriptedRuntimeScope();
    ScriptedRuntime& operator*() { return *runtime_; }
    ScriptedRuntime* operator->() { return runtime_; }

private:
    ScriptedRuntime* runtime_;
    std::unique_ptr<platform::FormRuntime> previous_;
};

} // namespace vidlatch::test
