#include "MovieCheck.h"

#include <QCoreApplication>

#include <QtEndian>

#include <zlib.h>

#include <array>

namespace vidlatch::platform {
namespace {

constexpr qsizetype HeaderBytes = 8;  // signature, version, declared length
constexpr qsizetype SmallestMovie = HeaderBytes + 5;  // then the smallest frame size, the rate, the frame count

// Tags after which a movie can change what it shows or answer the user.
// (Tag codes as the file format numbers them.)
constexpr std::array LivelyTags = {
    7,   // DefineButton
    12,  // DoAction
    15,  // StartSound
    18,  // SoundStreamHead
    34,  // DefineButton2
    37,  // DefineEditText: input fields blink and take keys
    39,  // DefineSprite: its own timeline
    45,  // SoundStreamHead2
    59,  // DoInitAction
    60,  // DefineVideoStream
    72,  // DoABC
    82,  // DoABC2
    89,  // StartSound2
};
constexpr int ShowFrameTag = 1;
constexpr int EndTag = 0;

quint32 DeclaredLength(QByteArrayView body)
{
    return qFromLittleEndian<quint32>(body.data() + 4);
}

// Whether the uncompressed tag stream after the header (frame size, rate,
// count, then tags) describes a movie whose first frame never changes.
bool IsStill(QByteArrayView afterHeader)
{
    if (afterHeader.isEmpty())
        return false;
    const int rectBits = static_cast<uchar>(afterHeader[0]) >> 3;
    qsizetype at = (5 + 4 * rectBits + 7) / 8 + 2;  // frame size, then frame rate
    if (at + 2 > afterHeader.size() || qFromLittleEndian<quint16>(afterHeader.data() + at) != 1)
        return false;
    at += 2;
    int frames = 0;
    while (at + 2 <= afterHeader.size()) {
        const quint16 codeAndLength = qFromLittleEndian<quint16>(afterHeader.data() + at);
        at += 2;
        const int code = codeAndLength >> 6;
        qint64 length = codeAndLength & 0x3f;
        if (length == 0x3f) {
            if (at + 4 > afterHeader.size())
                return false;
            length = qFromLittleEndian<quint32>(afterHeader.data() + at);
            at += 4;
        }
        if (code == EndTag)
            return frames == 1;
        if (code == ShowFrameTag && ++frames > 1)
            return false;
        for (int lively : LivelyTags) {
            if (code == lively)
                return false;
        }
        if (length > afterHeader.size() - at)
            return false;
        at += length;
    }
    return false;  // no end tag: not a movie to trust as still
}

struct ProblemText {
    MovieProblem problem;
    const char* text;
};
constexpr ProblemText ProblemTexts[] = {
    {MovieProblem::None, ""},
    {MovieProblem::Unreachable, QT_TRANSLATE_NOOP("Vidlatch", "无法连接到影片所在的服务器，影片没有播放。")},
    {MovieProblem::HttpError, QT_TRANSLATE_NOOP("Vidlatch", "服务器没有给出影片（HTTP %1），影片没有播放。")},
    {MovieProblem::Empty, QT_TRANSLATE_NOOP("Vidlatch", "服务器给出的影片是空的，影片没有播放。")},
    {MovieProblem::NotFlash, QT_TRANSLATE_NOOP("Vidlatch", "服务器给出的不是 Flash 影片，影片没有播放。")},
    {MovieProblem::Truncated, QT_TRANSLATE_NOOP("Vidlatch", "影片不完整，没有播放。")},
    {MovieProblem::TooLarge, QT_TRANSLATE_NOOP("Vidlatch", "影片超过 64 MB，预览不播放这么大的影片。")},
    {MovieProblem::Unplayable, QT_TRANSLATE_NOOP("Vidlatch", "播放器无法播放这部影片。")},
    {MovieProblem::TimedOut, QT_TRANSLATE_NOOP("Vidlatch", "网站没有及时送来影片，影片没有播放。")},
    {MovieProblem::Refused, QT_TRANSLATE_NOOP("Vidlatch", "影片的地址被拒绝：网站把它转到了不允许的地址（本机、内部网络或非 http 地址），影片没有播放。")},
    {MovieProblem::TooSlow, QT_TRANSLATE_NOOP("Vidlatch", "网站送来影片太慢，一分钟内没有送完，影片没有播放。")},
    {MovieProblem::DidNotStart, QT_TRANSLATE_NOOP("Vidlatch", "影片没有开始播放：播放器在十秒内没有显示它的第一帧。")},
    {MovieProblem::PlayerError, QT_TRANSLATE_NOOP("Vidlatch", "影片在播放器中出错，已停止播放。")},
};

} // namespace

MovieVerdict CheckMovie(QByteArrayView body)
{
    if (body.isEmpty())
        return {MovieProblem::Empty};
    if (body.size() < HeaderBytes || body[1] != 'W' || body[2] != 'S' ||
        (body[0] != 'F' && body[0] != 'C' && body[0] != 'Z'))
        return {MovieProblem::NotFlash};
    const quint32 declared = DeclaredLength(body);
    if (declared < SmallestMovie)
        return {MovieProblem::NotFlash};
    // An uncompressed movie is all here: one that declares more than came is
    // cut short, whatever it declares.
    if (body[0] == 'F') {
        if (body.size() < declared)
            return {MovieProblem::Truncated};
        return {MovieProblem::None, IsStill(body.sliced(HeaderBytes, declared - HeaderBytes))};
    }
    if (declared > static_cast<quint64>(MaxMovieBytes))
        return {MovieProblem::TooLarge};
    switch (body[0]) {
    case 'C': {
        QByteArray inflated(declared - HeaderBytes, Qt::Uninitialized);
        uLongf size = static_cast<uLongf>(inflated.size());
        const int status = uncompress(reinterpret_cast<Bytef*>(inflated.data()), &size,
                                      reinterpret_cast<const Bytef*>(body.data() + HeaderBytes),
                                      static_cast<uLong>(body.size() - HeaderBytes));
        // A stream that ends before the declared length is no whole movie; one
        // that holds more is played as far as declared, as the plug-in did.
        if (size != static_cast<uLongf>(inflated.size()) || status == Z_DATA_ERROR || status == Z_MEM_ERROR)
            return {MovieProblem::Truncated};
        return {MovieProblem::None, IsStill(inflated)};
    }
    default:
        return {MovieProblem::None};  // LZMA: the player checks it as it reads
    }
}

QString MovieProblemText(MovieProblem problem, int httpStatus)
{
    for (const ProblemText& entry : ProblemTexts) {
        if (entry.problem == problem) {
            const QString text = QCoreApplication::translate("Vidlatch", entry.text);
            return problem == MovieProblem::HttpError ? text.arg(httpStatus) : text;
        }
    }
    return {};
}

} // namespace vidlatch::platform
