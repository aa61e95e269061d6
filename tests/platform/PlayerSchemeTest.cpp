#include "DemoSite.h"
#include "PlayerScheme.h"
#include "PreviewProfile.h"
#include "UiWait.h"

#include <QSignalSpy>
#include <QUrlQuery>
#include <QWebEnginePage>

#include <gtest/gtest.h>

#include <memory>
#include <optional>

namespace vidlatch::platform {
namespace {

using test::WaitUntil;

QString Answer(QWebEnginePage& page, const QString& script)
{
    auto answer = std::make_shared<std::optional<QString>>();
    page.runJavaScript(script, [answer](const QVariant& v) { *answer = v.toString(); });
    return WaitUntil([answer] { return answer->has_value(); }) ? **answer : QStringLiteral("(no answer)");
}

// What a movie asks reaches its page as the site sends it, not once the
// program has it all; an answer cut short fails in the page, never ends
// there as if it were whole.
TEST(PlayerScheme, AnswersReachThePageAsTheyCome)
{
    struct Row {
        const char* what;
        const char* query;  // of the flood host: its megabytes, at 1.2 MB a second
        const char* ends;   // what the page saw end, or "" where it is still coming
        bool newMovie = false;  // handed to the page once the first megabyte is there
    };
    const Row rows[] = {
        {"whole", "mb=1", "load 1048576"},
        {"1 MB of 3, then the connection closed", "mb=3&cut=1", "error"},
        {"1 MB of 3, then nothing for a while", "mb=3&cut=1&hold=30", ""},
        {"... and the next movie comes", "mb=3&cut=1&hold=30", "error", true},
    };
    for (const Row& row : rows) {
        QWebEnginePage page(PreviewProfile());
        const int owner = 0;
        const QString key = PreviewPlayerScheme().AdmitPage(&owner);
        QSignalSpy loaded(&page, &QWebEnginePage::loadFinished);
        page.setHtml(QStringLiteral("<!DOCTYPE html><title>asks</title>"), QUrl(QStringLiteral("http://static.vidsite.example/")));
        ASSERT_TRUE(WaitUntil([&] { return !loaded.isEmpty(); })) << row.what;
        ASSERT_TRUE(loaded.at(0).at(0).toBool()) << row.what;
        QUrlQuery ask;
        ask.addQueryItem(QStringLiteral("key"), key);
        ask.addQueryItem(QStringLiteral("url"), QStringLiteral("http://ask-0.flood.example/answer?") + QLatin1String(row.query));
        ask.addQueryItem(QStringLiteral("method"), QStringLiteral("GET"));
        ask.addQueryItem(QStringLiteral("type"), {});
        (void)Answer(page, QStringLiteral(R"(window.seen = { bytes: 0, end: '' };
            const xhr = new XMLHttpRequest();
            xhr.open('GET', 'vidlatch-ruffle://net/?%1');
            xhr.responseType = 'arraybuffer';
            xhr.onprogress = (e) => { seen.bytes = e.loaded; };
            xhr.onload = () => { seen.end = 'load ' + xhr.response.byteLength; };
            xhr.onerror = () => { seen.end = 'error'; };
            xhr.send();)").arg(ask.toString(QUrl::FullyEncoded)));
        const QString seen = QStringLiteral("seen.end || String(seen.bytes)");
        const auto saw = [&](const char* what) { return WaitUntil([&] { return Answer(page, seen) == QLatin1String(what); }); };
        if (!*row.ends || row.newMovie) {
            EXPECT_TRUE(saw("1048576")) << row.what << ": " << Answer(page, seen).toStdString();
        }
        if (row.newMovie)
            (void)PreviewPlayerScheme().NewMovie(&owner, false);
        if (*row.ends) {
            EXPECT_TRUE(saw(row.ends)) << row.what << ": " << Answer(page, seen).toStdString();
        }
        PreviewPlayerScheme().Forget(&owner);
    }
}

} // namespace
} // namespace vidlatch::platform
