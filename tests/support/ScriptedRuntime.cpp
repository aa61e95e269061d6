#include "ScriptedRuntime.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>

namespace vidlatch::test {

int ScriptedRuntime::MsgBox(const QString& text, int style, const QString& title)
{
    const Call call{QStringLiteral("MsgBox"), text, title, style};
    calls.append(call);
    if (whileOpen)
        whileOpen(call);
    if (!answers.isEmpty())
        return answers.takeFirst();
    return (style & 0x0F) == 3 ? platform::vbCancel : platform::vbOK;
}

QString ScriptedRuntime::InputBox(const QString& prompt, const QString& title)
{
    const Call call{QStringLiteral("InputBox"), prompt, title, 0};
    calls.append(call);
    if (whileOpen)
        whileOpen(call);
    return inputs.isEmpty() ? QString() : inputs.takeFirst();
}

void ScriptedRuntime::ClipboardClear()
{
    calls.append({QStringLiteral("ClipboardClear"), {}, {}, 0});
    QApplication::clipboard()->clear();
}

void ScriptedRuntime::ClipboardSetText(const QString& text)
{
    calls.append({QStringLiteral("ClipboardSetText"), text, {}, 0});
    auto* data = new QMimeData;
    data->setText(text);
    QApplication::clipboard()->setMimeData(data);
}

QString ScriptedRuntime::AppPath()
{
    return QCoreApplication::applicationDirPath();
}

void ScriptedRuntime::Shell(const QString& commandLine, int showState)
{
    calls.append({QStringLiteral("Shell"), commandLine, {}, showState});
}

void ScriptedRuntime::End()
{
    calls.append({QStringLiteral("End"), {}, {}, 0});
    ending_ = true;
}

void ScriptedRuntime::ReportUnhandledError(const QString& what)
{
    calls.append({QStringLiteral("Error"), what, {}, 0});
    ending_ = true;
}

QList<ScriptedRuntime::Call> ScriptedRuntime::Notices() const
{
    QList<Call> notices;
    for (const Call& call : calls) {
        if (call.kind == QLatin1String("MsgBox"))
            notices.append(call);
    }
    return notices;
}

QStringList ScriptedRuntime::Kinds() const
{
    QStringList kinds;
    for (const Call& call : calls)
        kinds.append(call.kind);
    return kinds;
}

ScriptedRuntimeScope::ScriptedRuntimeScope()
{
    auto runtime = std::make_unique<ScriptedRuntime>();
    runtime_ = runtime.get();
    previous_ = platform::SetRuntime(std::move(runtime));
}

ScriptedRuntimeScope::~ScriptedRuntimeScope()
{
    platform::SetRuntime(std::move(previous_));
}

} // namespace vidlatch::test
