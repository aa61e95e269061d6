#include "MovieCheck.h"
#include "MovieRedirectRule.h"

#include <QHostAddress>
#include <QUrl>

#include <QtEndian>

#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <initializer_list>
#include <optional>
#include <string>

namespace vidlatch::platform {
namespace {

struct Tag {
    int code;
    QByteArray body;
};

QByteArray TagBytes(const Tag& tag)
{
    QByteArray out(2, '\0');
    if (tag.body.size() < 0x3f) {
        qToLittleEndian<quint16>(static_cast<quint16>((tag.code << 6) | tag.body.size()), out.data());
    } else {
        qToLittleEndian<quint16>(static_cast<quint16>((tag.code << 6) | 0x3f), out.data());
        out.resize(6);
        qToLittleEndian<quint32>(static_cast<quint32>(tag.body.size()), out.data() + 2);
    }
    return out + tag.body;
}

// A movie's tag stream after its 8-byte header: a one-bit-wide frame size,
// 24 fps, `frames` frames, then the tags.
QByteArray Timeline(int frames, std::initializer_list<Tag> tags)
{
    QByteArray out("\x08\x00", 2);  // RECT with nbits = 1: 5 + 4 bits, two bytes
    out += QByteArray("\x00\x18", 2);
    out += static_cast<char>(frames & 0xff);
    out += static_cast<char>(frames >> 8);
    for (const Tag& tag : tags)
        out += TagBytes(tag);
    return out;
}

QByteArray Header(char signature, quint32 declared)
{
    QByteArray out(8, '\0');
    out[0] = signature;
    out[1] = 'W';
    out[2] = 'S';
    out[3] = 10;
    qToLittleEndian<quint32>(declared, out.data() + 4);
    return out;
}

QByteArray Fws(const QByteArray& timeline) { return Header('F', 8 + timeline.size()) + timeline; }

QByteArray Cws(const QByteArray& timeline)
{
    uLongf size = compressBound(static_cast<uLong>(timeline.size()));
    QByteArray packed(static_cast<qsizetype>(size), '\0');
    compress(reinterpret_cast<Bytef*>(packed.data()), &size, reinterpret_cast<const Bytef*>(timeline.data()),
             static_cast<uLong>(timeline.size()));
    packed.resize(static_cast<qsizetype>(size));
    return Header('C', 8 + timeline.size()) + packed;
}

const Tag Background{9, QByteArray("\x10\x20\x30", 3)};
const Tag ShowFrame{1, {}};
const Tag End{0, {}};
const Tag Data{87, QByteArray(100, 'x')};  // long form

TEST(MovieCheck, ClassifiesBodiesAndTellsStillMovies)
{
    const QByteArray still = Timeline(1, {Background, Data, ShowFrame, End});
    struct Case { const char* what; QByteArray body; MovieProblem problem; bool still; };
    const Case cases[] = {
        {"one still frame", Fws(still), MovieProblem::None, true},
        {"compressed, still", Cws(still), MovieProblem::None, true},
        {"trailing bytes after the movie", Fws(still) + "junk", MovieProblem::None, true},
        {"two frames", Fws(Timeline(2, {Background, ShowFrame, ShowFrame, End})), MovieProblem::None, false},
        {"a frame script", Fws(Timeline(1, {Background, {12, QByteArray(1, '\0')}, ShowFrame, End})), MovieProblem::None, false},
        {"ActionScript 3", Fws(Timeline(1, {{82, QByteArray(4, 'a')}, ShowFrame, End})), MovieProblem::None, false},
        {"a sprite", Fws(Timeline(1, {{39, QByteArray(4, '\0')}, ShowFrame, End})), MovieProblem::None, false},
        {"a button", Fws(Timeline(1, {{34, QByteArray(4, '\0')}, ShowFrame, End})), MovieProblem::None, false},
        {"streamed sound", Fws(Timeline(1, {{45, QByteArray(4, '\0')}, ShowFrame, End})), MovieProblem::None, false},
        {"no end tag", Fws(Timeline(1, {Background, ShowFrame})), MovieProblem::None, false},
        {"a tag longer than the movie", Fws(Timeline(1, {Background}) + QByteArray("\xff\x15\xe8\x03\0\0short", 11)),
         MovieProblem::None, false},
        {"LZMA: left to the player", Header('Z', 100) + QByteArray(50, '\0'), MovieProblem::None, false},
        {"empty", {}, MovieProblem::Empty, false},
        {"an HTML page", "<!DOCTYPE html><html><body>not a movie</body></html>", MovieProblem::NotFlash, false},
        {"shorter than a header", "FWS\x0a", MovieProblem::NotFlash, false},
        {"declared length inside the header", Header('F', 4), MovieProblem::NotFlash, false},
        {"cut short", Fws(still).left(20), MovieProblem::Truncated, false},
        {"compressed, cut short", Cws(still).left(14), MovieProblem::Truncated, false},
        {"compressed, not zlib", Header('C', 40) + QByteArray(32, 'q'), MovieProblem::Truncated, false},
        {"declared as its header alone", Header('F', 8) + QByteArray(8, '\0'), MovieProblem::NotFlash, false},
        {"compressed, declared beyond the limit", Header('C', static_cast<quint32>(MaxMovieBytes + 1)) + "x\x9c",
         MovieProblem::TooLarge, false},
        {"a few bytes declared beyond the limit", Header('F', static_cast<quint32>(MaxMovieBytes + 1)) + "<html>",
         MovieProblem::Truncated, false},
    };
    for (const Case& c : cases) {
        const MovieVerdict verdict = CheckMovie(c.body);
        EXPECT_EQ(verdict.problem, c.problem) << c.what;
        EXPECT_EQ(verdict.still, c.still) << c.what;
    }
}

TEST(MovieCheck, EveryProblemHasAPlainSentence)
{
    for (MovieProblem problem : {MovieProblem::Unreachable, MovieProblem::HttpError, MovieProblem::Empty,
                                 MovieProblem::NotFlash, MovieProblem::Truncated, MovieProblem::TooLarge,
                                 MovieProblem::Unplayable, MovieProblem::TimedOut, MovieProblem::Refused})
        EXPECT_FALSE(MovieProblemText(problem).isEmpty()) << static_cast<int>(problem);
    EXPECT_TRUE(MovieProblemText(MovieProblem::HttpError, 404).contains(QLatin1String("404")));
}

// The resolver's answer, as the rules take it.
std::optional<QList<QHostAddress>> Resolved(const std::optional<QStringList>& answer)
{
    if (!answer)
        return std::nullopt;
    QList<QHostAddress> addresses;
    for (const QString& address : *answer)
        addresses.append(QHostAddress(address));
    return addresses;
}

TEST(MovieRedirectRule, OnlyWhereAWebPageCouldGo)
{
    // `resolved`: the system resolver's answer for the host (none where it
    // knows no such name and a proxy resolves it).
    struct Case { const char* from; const char* to; bool allowed; std::optional<QStringList> resolved = std::nullopt; };
    const char* site = "http://static.vidsite.example/v1/res/vidplayer.swf";
    const Case cases[] = {
        {site, "http://cdn.vidsite.example/x.swf?vid=a", true},
        {site, "https://cdn.vidsite.example/x.swf", true},
        {"https://static.vidsite.example/x.swf", "https://cdn.vidsite.example/x.swf", true},
        {"https://static.vidsite.example/x.swf", "http://cdn.vidsite.example/x.swf", false},  // less safe
        {site, "ftp://cdn.vidsite.example/x.swf", false},
        {site, "file:///etc/passwd", false},
        {site, "data:application/x-shockwave-flash,FWS", false},
        {site, "vidlatch-ruffle://app/ruffle.js", false},
        {site, "http://11.0.0.1/x.swf", true},
        {site, "http://172.32.0.1/x.swf", true},
        {site, "http://[2001:db8::1]/x.swf", true},
        // This machine, by name and by address in every form the resolver takes.
        {site, "http://127.0.0.1:8080/x.swf", false},
        {site, "http://127.1/x.swf", false},
        {site, "http://0x7f000001/x.swf", false},
        {site, "http://2130706433/x.swf", false},
        {site, "http://0177.0.0.1/x.swf", false},
        {site, "http://localhost/x.swf", false},
        {site, "http://LOCALHOST./x.swf", false},
        {site, "http://a.localhost/x.swf", false},
        {site, "http://0.0.0.0/x.swf", false},
        {site, "http://[::1]/x.swf", false},
        {site, "http://[::]/x.swf", false},
        {site, "http://[::ffff:127.0.0.1]/x.swf", false},
        {site, "http://[::ffff:7f00:1]/x.swf", false},
        {site, "http://[::1%25lo]:8080/x.swf", false},
        // Names only this machine or its network answers, by how they are written.
        {site, "http://vm:8080/x.swf", false},
        {site, "http://printer.local/x.swf", false},
        {site, "http://db.internal/x.swf", false},
        {site, "http://nas.home.arpa/x.swf", false},
        {site, "http://localhost.localdomain/x.swf", false},
        // This machine by a name that the hosts file leads to loopback.
        {site, "http://vm.example.net:8080/x.swf", false, QStringList{"127.0.1.1"}},
        // Its private network, link-local, site-local, and what no web host is.
        {site, "http://10.1.2.3/x.swf", false},
        {site, "http://100.64.0.1/x.swf", false},
        {site, "http://100.127.255.255/x.swf", false},
        {site, "http://100.128.0.1/x.swf", true},
        {site, "http://192.0.0.8/x.swf", false},
        {site, "http://192.0.1.1/x.swf", true},
        {site, "http://198.18.0.1/x.swf", false},
        {site, "http://198.19.255.255/x.swf", false},
        {site, "http://198.20.0.1/x.swf", true},
        {site, "http://224.0.0.1/x.swf", false},
        {site, "http://239.255.255.250/x.swf", false},
        {site, "http://240.0.0.1/x.swf", false},
        {site, "http://255.255.255.255/x.swf", false},
        {site, "http://[fe80::1%25eth0]/x.swf", false},
        {site, "http://[fec0::1]/x.swf", false},
        {site, "http://[ff02::1]/x.swf", false},
        {site, "http://172.16.0.1/x.swf", false},
        {site, "http://172.31.255.255/x.swf", false},
        {site, "http://192.168.1.1/x.swf", false},
        {site, "http://169.254.169.254/latest/", false},
        {site, "http://[fc00::1]/x.swf", false},
        {site, "http://[fd12:3456::1]/x.swf", false},
        {site, "http://[fe80::1]/x.swf", false},
        {site, "http://[::ffff:192.168.0.1]/x.swf", false},
        // IPv6 that carries an IPv4 address is that address.
        {site, "http://[::ffff:0:7f00:1]/x.swf", false},
        {site, "http://[::ffff:0:808:808]/x.swf", true},
        {site, "http://[64:ff9b::7f00:1]/x.swf", false},
        {site, "http://[64:ff9b::a00:1]/x.swf", false},
        {site, "http://[64:ff9b::808:808]/x.swf", true},
        {site, "http://[2002:7f00:1::1]/x.swf", false},
        {site, "http://[2002:c0a8:101::1]/x.swf", false},
        {site, "http://[2002:808:808::1]/x.swf", true},
        // Prefixes that lead into a local network or a tunnel, whatever they carry.
        {site, "http://[64:ff9b:1::808:808]/x.swf", false},
        {site, "http://[2001:0:4136:e378:8000:63bf:3fff:fdd2]/x.swf", false},
        {site, "http://[100::1]/x.swf", false},
        // Ports that other protocols' servers listen on.
        {site, "http://mail.example:25/x.swf", false},
        {site, "https://irc.example:6697/x.swf", false},
        {site, "http://x.example:10080/x.swf", false},
        {site, "http://x.example:0/x.swf", false},
        {site, "http://x.example:8080/x.swf", true},
        // A name, by every address of its answer.
        {site, "http://cdn.vidsite.example/x.swf", true, QStringList{"93.184.216.34", "2001:db8::1"}},
        {site, "http://cdn.vidsite.example/x.swf", false, QStringList{"93.184.216.34", "127.0.0.1"}},
        {site, "http://cdn.vidsite.example/x.swf", false, QStringList{"::1"}},
        {site, "http://cdn.vidsite.example/x.swf", false, QStringList{"::ffff:10.0.0.1"}},
        {site, "http://cdn.vidsite.example/x.swf", false, QStringList{"fe80::1%eth0"}},
        {site, "http://cdn.vidsite.example/x.swf", false, QStringList{"2001:db8::1%eth0"}},  // a zone, on a public address
        {site, "http://cdn.vidsite.example/x.swf", false, QStringList{}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(MayFollowMovieRedirect(QUrl(QLatin1String(c.from)), QUrl(QLatin1String(c.to)), Resolved(c.resolved)), c.allowed)
            << c.to << " " << (c.resolved ? c.resolved->join(u',').toStdString() : "");
    }
}

// What a movie asks of the network from its page: the redirect rule's
// addresses and names, but a movie may go back where it came from, as long
// as that leads where the movie came from: here, or off this machine.
TEST(MovieRedirectRule, AMovieReachesThisMachineOnlyWhereItCameFrom)
{
    struct Case {
        const char* page; const char* to; bool allowed; std::optional<QStringList> resolved = std::nullopt;
        bool movieCameFromHere = false;
    };
    const char* site = "http://static.vidsite.example";
    const char* local = "http://127.0.0.1:8000";
    // Which addresses are this machine's is the redirect table's to prove.
    const Case cases[] = {
        {site, "https://cdn.vidsite.example/x.xml", true},   {site, "vidlatch-ruffle://app/ruffle.js", false},
        {site, "data:text/plain,x", false},                  {site, "http://127.0.0.1:18790/x.swf", false},
        {site, "ws://127.1:6379/", false},                   {site, "http://192.168.1.1/admin", false},
        {local, "http://127.0.0.1:8000/other.swf", true, std::nullopt, true},
        {"http://127.0.0.1", "http://127.0.0.1:80/x.swf", true, std::nullopt, true},
        {local, "http://127.0.0.1:6379/", false},            {local, "https://127.0.0.1:8000/", false},
        {local, "http://localhost:8000/", false},            {"", "http://127.0.0.1:8000/", false},
        {site, "http://vm:8000/", false},                    {site, "http://printer.local/", false},
        {site, "http://static.vidsite.example/x.swf", false, QStringList{"127.0.0.1"}},
        {site, "http://static.vidsite.example/x.swf", true, QStringList{"93.184.216.34"}},
        {"http://vm.example.net:8000", "http://vm.example.net:8000/x.swf", true, QStringList{"127.0.1.1"}, true},
        {"http://vm.example.net:8000", "http://vm.example.net:8000/x.swf", false, QStringList{"93.184.216.34"}, true},
        {site, "http://vm.example.net:8000/x.swf?vid=1", false, QStringList{"127.0.1.1"}},
        {site, "http://cdn.vidsite.example/x.swf", true, QStringList{"93.184.216.34"}},
        {site, "http://cdn.vidsite.example/x.swf", false, QStringList{"93.184.216.34", "10.0.0.1"}},
        {site, "http://cdn.vidsite.example:25/x.swf", false, QStringList{"93.184.216.34"}},
        {"http://cdn.vidsite.example:22", "http://cdn.vidsite.example:22/x.swf", false, QStringList{"93.184.216.34"}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(MayMovieRequest(QUrl(QLatin1String(c.page)), QUrl(QLatin1String(c.to)), Resolved(c.resolved), c.movieCameFromHere),
                  c.allowed)
            << c.page << " -> " << c.to;
    }
    // The page itself reaches no network: the program fetches for it.
    for (const char* address : {"http://static.vidsite.example/", "https://cdn.vidsite.example/", "ws://127.1:6379/", "ftp://x.example/"})
        EXPECT_TRUE(LeavesThePlayer(QUrl(QLatin1String(address)))) << address;
    for (const char* address : {"vidlatch-ruffle://app/ruffle.js", "vidlatch-ruffle://net/?url=x", "data:text/plain,x", "blob:http://static.vidsite.example/1"})
        EXPECT_FALSE(LeavesThePlayer(QUrl(QLatin1String(address)))) << address;
}

} // namespace
} // namespace vidlatch::platform
