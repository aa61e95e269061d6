// What a movie's page may ask the program to fetch, row by row: the program
// takes a method, a one-line media type and a body within its limit, from
// the page it gave the key to, and nothing else.
#include "AskBudget.h"
#include "MovieAskRule.h"

#include <QUrlQuery>

#include <vector>

#include <gtest/gtest.h>

namespace vidlatch::platform {
namespace {

TEST(MovieAskRule, TakesOnlyWhatARequestIsBuiltOf)
{
    const QString key = QStringLiteral("0123456789abcdef");
    const QByteArray mib(MaxAskBodyBytes, 'v');
    struct Row {
        const char* what;
        QString key, url, method, type;
        QByteArray body;  // sent in base64
        AskRefusal refusal;
    };
    const QString cdn = QStringLiteral("http://cdn.vidsite.example/vars.txt");
    const Row rows[] = {
        {"a GET", key, cdn, "GET", "", {}, AskRefusal::None},
        {"a POST of variables", key, cdn, "POST", "application/x-www-form-urlencoded", "a=1&b=2", AskRefusal::None},
        {"a body of 1 MiB", key, cdn, "POST", "application/octet-stream", mib, AskRefusal::None},
        {"a body over 1 MiB", key, cdn, "POST", "application/octet-stream", mib + "v", AskRefusal::Body},
        {"a GET with a body", key, cdn, "GET", "", "a=1", AskRefusal::Body},
        {"no key: asked by the movie itself, not its page", {}, cdn, "GET", "", {}, AskRefusal::NotThisPage},
        {"another page's key", QStringLiteral("fedcba9876543210"), cdn, "GET", "", {}, AskRefusal::NotThisPage},
        {"a header put in the media type", key, cdn, "POST", "text/plain\r\nX-Injected: yes", "a", AskRefusal::MediaType},
        {"a line feed alone", key, cdn, "POST", "text/plain\nX-Injected: yes", "a", AskRefusal::MediaType},
        {"a tab", key, cdn, "POST", "text/plain;\tcharset=utf-8", "a", AskRefusal::MediaType},
        {"a type beyond ASCII", key, cdn, "POST", QStringLiteral("text/plain; name=\u00e9"), "a", AskRefusal::MediaType},
        {"a type too long", key, cdn, "POST", "text/" + QString(MaxAskTypeBytes, u'x'), "a", AskRefusal::MediaType},
        {"HEAD", key, cdn, "HEAD", "", {}, AskRefusal::Method},
        {"PUT", key, cdn, "PUT", "", {}, AskRefusal::Method},
        {"a method in lower case", key, cdn, "get", "", {}, AskRefusal::Method},
        {"a file", key, "file:///etc/passwd", "GET", "", {}, AskRefusal::Address},
        {"the player's own scheme", key, "vidlatch-ruffle://net/?url=x", "GET", "", {}, AskRefusal::Address},
        {"no address", key, "", "GET", "", {}, AskRefusal::Address},
        {"an address at the longest", key, cdn + "?" + QString(MaxAskAddressLength - cdn.size() - 1, u'a'), "GET", "", {}, AskRefusal::None},
        {"an address longer", key, cdn + "?" + QString(MaxAskAddressLength - cdn.size(), u'a'), "GET", "", {}, AskRefusal::Address},
    };
    for (const Row& row : rows) {
        QUrlQuery query;
        for (const auto& [name, value] : {std::pair{"key", row.key}, std::pair{"url", row.url},
                                          std::pair{"method", row.method}, std::pair{"type", row.type}}) {
            if (!value.isNull())
                query.addQueryItem(QLatin1String(name), QString::fromUtf8(QUrl::toPercentEncoding(value)));
        }
        if (!row.body.isEmpty())
            query.addQueryItem(QStringLiteral("body"), QString::fromLatin1(QUrl::toPercentEncoding(QString::fromLatin1(row.body.toBase64()))));
        QUrl request(QStringLiteral("vidlatch-ruffle://net/"));
        request.setQuery(query);
        const AskReading reading = ReadMovieAsk(request, key);
        EXPECT_EQ(reading.refusal, row.refusal) << row.what;
        if (row.refusal == AskRefusal::None) {
            EXPECT_EQ(reading.ask.address, QUrl(row.url)) << row.what;
            EXPECT_EQ(reading.ask.method, row.method.toLatin1()) << row.what;
            EXPECT_EQ(reading.ask.contentType, row.type.toLatin1()) << row.what;
            EXPECT_EQ(reading.ask.body, row.body) << row.what;
        }
    }
    // Not base64 at all.
    EXPECT_EQ(ReadMovieAsk(QUrl(QStringLiteral("vidlatch-ruffle://net/?key=%1&url=%2&method=POST&body=%25%25%25")
                                    .arg(key, cdn)), key).refusal, AskRefusal::Body);
}

// A page's asks, step by step: six at once, the rest in turn, oldest first,
// and a queue of its length; what they hold together (what each ask is and
// what has come of it) within the budget; an end known or not.
TEST(AskBudget, SixAtOnceTheRestInTurnWithinTheBytes)
{
    constexpr qint64 MiB = qint64{1} << 20;
    constexpr qint64 Ask = AskBudget::AskBytes;
    using Turn = AskBudget::Turn;
    enum class Do { Arrive, Hold, End };
    struct Step { Do what; quint64 ask; qint64 bytes; Turn turn; bool held; QList<quint64> started; };
    const auto run = [](const std::vector<Step>& steps, const char* sequence) {
        AskBudget budget;
        for (std::size_t i = 0; i < steps.size(); ++i) {
            const Step& step = steps[i];
            switch (step.what) {
            case Do::Arrive: EXPECT_EQ(budget.Arrive(step.ask, step.bytes), step.turn) << sequence << ", step " << i; break;
            case Do::Hold: EXPECT_EQ(budget.Hold(step.ask, step.bytes), step.held) << sequence << ", step " << i; break;
            case Do::End: EXPECT_EQ(budget.End(step.ask), step.started) << sequence << ", step " << i; break;
            }
        }
        return budget.held();
    };
    std::vector<Step> bytes;
    for (quint64 ask = 1; ask <= 8; ++ask)
        bytes.push_back({Do::Arrive, ask, ask == 8 ? MiB : 0, ask <= 6 ? Turn::Now : Turn::Later, true, {}});
    const Step rest[] = {
        {Do::Hold, 1, 40 * MiB, {}, true, {}},
        {Do::Hold, 2, 23 * MiB - 8 * Ask, {}, true, {}},  // with what the eight asks are: 64 MiB, the most
        {Do::Hold, 3, 1, {}, false, {}},               // past it
        {Do::Arrive, 9, 0, Turn::Never, true, {}},     // an ask, however small, no longer fits
        {Do::Hold, 7, 1, {}, false, {}},               // waiting: nothing comes to it
        {Do::Hold, 1, 10 * MiB, {}, true, {}},         // an ask's bytes are its latest count, not added up
        {Do::Hold, 3, 30 * MiB, {}, true, {}},
        {Do::End, 8, 0, {}, true, {}},                 // gone while it waited: no place freed, its bytes let go
        {Do::End, 1, 0, {}, true, {7}},                // a place freed: the oldest waiting starts
        {Do::End, 1, 0, {}, true, {}},                 // told twice: nothing more
        {Do::End, 99, 0, {}, true, {}},                // never known
        {Do::Hold, 7, 11 * MiB + 2 * Ask, {}, true, {}},  // 1's and 8's bytes went with them: 64 MiB in all again
        {Do::Hold, 7, 11 * MiB + 2 * Ask + 1, {}, false, {}},
    };
    bytes.insert(bytes.end(), std::begin(rest), std::end(rest));
    EXPECT_EQ(run(bytes, "bytes"), AskBudget::HeldBytes);

    // The queue, whatever little its asks hold.
    std::vector<Step> queue;
    const quint64 full = AskBudget::AtOnce + AskBudget::MostWaiting;
    for (quint64 ask = 1; ask <= full; ++ask)
        queue.push_back({Do::Arrive, ask, 0, ask <= AskBudget::AtOnce ? Turn::Now : Turn::Later, true, {}});
    const Step more[] = {
        {Do::Arrive, full + 1, 0, Turn::Never, true, {}},
        {Do::End, full, 0, {}, true, {}},              // one waiting gives up: room for one more
        {Do::Arrive, full + 2, 0, Turn::Later, true, {}},
        {Do::End, 1, 0, {}, true, {AskBudget::AtOnce + 1}},
        {Do::Arrive, full + 3, 0, Turn::Later, true, {}},
        {Do::Arrive, full + 4, 0, Turn::Never, true, {}},
    };
    queue.insert(queue.end(), std::begin(more), std::end(more));
    EXPECT_EQ(run(queue, "queue"), static_cast<qint64>(full) * Ask);
}

} // namespace
} // namespace vidlatch::platform
