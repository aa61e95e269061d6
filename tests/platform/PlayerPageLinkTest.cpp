#include "PlayerPageLink.h"
#include "RuleClock.h"
#include "UiWait.h"

#include <QSignalSpy>
#include <QTest>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineView>

#include <gtest/gtest.h>

#include <memory>
#include <optional>

namespace vidlatch::platform {
namespace {

using Report = PlayerPageLink::Report;

// A document of the link's, with what a player page offers a call: a
// function that answers, one that throws, one that never returns.
QString Document(int build)
{
    return QStringLiteral("<script>window.one = () => 1; window.boom = () => { throw new Error('no'); };"
                          "window.spin = () => { for (;;) {} };"
                          "document.title = 'vidlatch:%1:ready:0';</script>")
        .arg(build);
}

// Every call, answer and report is of the document it was made for: a report
// that names a document since replaced is not heard, a call that throws is
// answered all the same, and a page that stops answering is said silent,
// again and again while it stays so, and at work, on the answer clock the
// test runs out, however slow the machine.
TEST(PlayerPageLink, EveryCallAndReportIsOfItsOwnDocument)
{
    QWebEngineView view;
    view.resize(200, 100);
    QWebEngineProfile profile;
    PlayerPageLink link(&profile, &view);
    auto* answerClock = link.findChild<RuleClock*>(QStringLiteral("answer"));
    ASSERT_NE(answerClock, nullptr);
    answerClock->Drive();
    QObject::connect(&link, &PlayerPageLink::replaced, &view, [&view](QWebEnginePage* page) { view.setPage(page); });
    link.Renew();
    view.show();
    QSignalSpy reported(&link, &PlayerPageLink::reported);
    int build = 0;
    for (int document = 0; document < 2; ++document) {
        link.MarkWork();
        link.Build([&build](int number) { build = number; return Document(number); }, QUrl(QStringLiteral("http://x.example/")));
        ASSERT_TRUE(reported.wait(10000));
        // However little its renderer worked for it, a document that loaded is work done.
        ASSERT_TRUE(test::IntervalsPassed(PlayerPageLink::AnswerMs));
        EXPECT_TRUE(link.WorkedSinceMark()) << "document " << document;
    }
    ASSERT_EQ(reported.count(), 2);  // each document, ready
    EXPECT_EQ(reported.at(1).at(0).value<Report>(), Report::Ready);

    auto answers = std::make_shared<QList<QVariant>>();
    QSignalSpy answered(&link, &PlayerPageLink::answered);
    for (const char* function : {"one", "boom"})
        link.Call(function, {}, [answers](const QVariant& answer) { answers->append(answer); });
    ASSERT_TRUE(QTest::qWaitFor([&] { return answers->size() == 2; }, 10000));
    EXPECT_EQ(answers->at(0).toInt(), 1);
    EXPECT_TRUE(answers->at(1).isNull());  // it threw: an answer all the same
    EXPECT_EQ(answered.count(), 2);

    // A report naming the document before is not heard; one naming this one is.
    reported.clear();
    QSignalSpy titled(link.page(), &QWebEnginePage::titleChanged);
    for (int of : {build - 1, build}) {
        const QString title = QStringLiteral("vidlatch:%1:shown:7").arg(of);
        link.page()->runJavaScript(QStringLiteral("document.title = '%1'").arg(title));
        ASSERT_TRUE(QTest::qWaitFor([&] { return !titled.isEmpty() && titled.last().at(0).toString() == title; }, 10000));
    }
    ASSERT_EQ(reported.count(), 1);
    EXPECT_EQ(reported.at(0).at(0).value<Report>(), Report::Shown);
    EXPECT_EQ(reported.at(0).at(1).toInt(), 7);

    QSignalSpy silent(&link, &PlayerPageLink::answerOverdue);
    EXPECT_FALSE(answerClock->RunOut()) << "nothing is owed";
    link.MarkWork();
    ASSERT_TRUE(test::IntervalsPassed(PlayerPageLink::AnswerMs));
    EXPECT_FALSE(link.WorkedSinceMark()) << "an idle page is at work";
    link.MarkWork();
    link.Call("spin", {});
    for (int interval = 1; interval <= 2; ++interval) {
        EXPECT_TRUE(answerClock->RunOut());
        EXPECT_EQ(silent.count(), interval);
    }
    EXPECT_TRUE(test::WaitUntil([&] { return link.WorkedSinceMark(); }, 30000)) << "a spinning page is not at work";
    EXPECT_TRUE(link.EndRenderer());
}

} // namespace
} // namespace vidlatch::platform
