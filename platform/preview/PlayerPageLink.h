#pragma once

#include "RendererProcess.h"

#include <QElapsedTimer>
#include <QJsonObject>
#include <QObject>
#include <QUrl>

#include <functional>
#include <optional>

class QWebEnginePage;
class QWebEngineProfile;

namespace vidlatch::platform {

class RuleClock;

// The one way between the preview and its player page. It numbers each
// document it builds and stamps every call, answer and report with that
// number, so that nothing of a document since replaced is taken for the one
// there. It tells whether the page answers (an answer that threw is an
// answer too), whether it can be seen, and when its renderer is gone; what
// any of that means is the preview machine's to decide.
class PlayerPageLink : public QObject {
    Q_OBJECT

public:
    // What the page reports, in its title: "vidlatch:<build>:<what>:<id>".
    enum class Report { Ready, Shown, Failed, Panic, StagedPanic };
    Q_ENUM(Report)

    PlayerPageLink(QWebEngineProfile* profile, QObject* parent);
    ~PlayerPageLink() override;

    QWebEnginePage* page() const { return page_; }
    // A new page in a renderer of its own; replaced() says which.
    void Renew();
    // A new document, `html` made for its build number, of `origin`.
    void Build(const std::function<QString(int build)>& html, const QUrl& origin);
    // Calls window.`function`(`argument`) in the document there; `answered`
    // gets what it returned (null where it threw), unless the document is
    // replaced first.
    void Call(const char* function, const QJsonObject& argument, std::function<void(const QVariant&)> answered = {});
    // While watched, the page is asked now and then, so that a page that no
    // longer answers is found even when nothing else is asked of it.
    void SetWatched(bool watched);
    // Ends the renderer; its end is reported as any renderer's. False where
    // it could not be ended (its process not yet known).
    [[nodiscard]] bool EndRenderer();
    // Whether the page has been at work since MarkWork: its document
    // loaded on, or its renderer's main thread ran, or was ready to run,
    // for at least half of the time since. A page at work is busy, not
    // dead, however slow the machine.
    void MarkWork();
    [[nodiscard]] bool WorkedSinceMark() const;

    // A page owes the answer to a call this long at the most.
    static constexpr int AnswerMs = 1000;

signals:
    void replaced(QWebEnginePage* page);
    // Of the document there; `id` is the report's movie serial or staged token.
    void reported(vidlatch::platform::PlayerPageLink::Report what, int id);
    void answered();
    // A call unanswered for AnswerMs; said again each AnswerMs while it stays so.
    void answerOverdue();
    void seen(bool visible);
    void rendererGone();

private:
    void Send(const QString& script, std::function<void(const QVariant&)> answered);
    void OnTitle(const QString& title);
    void ForgetCalls();

    QWebEngineProfile* profile_;
    QWebEnginePage* page_ = nullptr;
    int build_ = 0;
    int owed_ = 0;  // calls to this build not answered yet
    RuleClock* answerWatch_;
    RuleClock* heartbeat_;
    RendererProcess renderer_;
    int loadSteps_ = 0;  // how often a document of the page has loaded on
    struct WorkMark {
        qint64 pid = 0;
        std::optional<quint64> demand;
        int loadSteps = 0;
        QElapsedTimer since;
    } workMark_;
};

} // namespace vidlatch::platform
