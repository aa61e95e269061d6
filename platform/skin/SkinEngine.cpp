#include "SkinEngine.h"

#include <QApplication>
#include <QFile>
#include <QRegularExpression>
#include <QStyle>
#include <QStyleFactory>

#include <algorithm>
#include <utility>

namespace vidlatch::platform {
namespace {

constexpr qsizetype MaxSkinSize = 1 << 20;

// Longer names first, so "@face" never eats the start of "@faceDark".
QList<std::pair<QString, QColor>> ByLongestName(QList<std::pair<QString, QColor>> colours)
{
    std::stable_sort(colours.begin(), colours.end(),
                     [](const auto& a, const auto& b) { return a.first.size() > b.first.size(); });
    return colours;
}

} // namespace

SkinEngine& SkinEngine::Instance()
{
    static SkinEngine engine;
    return engine;
}

std::optional<SkinEngine::Skin> SkinEngine::Parse(const QString& text)
{
    // Header: "@name: #rrggbb;" lines (and ";" comments) up to a line "%%".
    static const QRegularExpression colourLine(QStringLiteral("^@([A-Za-z][A-Za-z0-9_]*)\\s*:\\s*(#[0-9A-Fa-f]{6})\\s*;?$"));
    const qsizetype split = text.indexOf(QRegularExpression(QStringLiteral("^%%\\s*$"),
                                                            QRegularExpression::MultilineOption));
    if (split < 0)
        return std::nullopt;
    Skin skin;
    const QStringList header = text.left(split).split(u'\n');
    for (const QString& raw : header) {
        const QString line = raw.trimmed();
        if (line.isEmpty() || line.startsWith(u';'))
            continue;
        const QRegularExpressionMatch match = colourLine.match(line);
        if (!match.hasMatch())
            return std::nullopt;
        skin.colours.append({match.captured(1), QColor(match.captured(2))});
    }
    skin.sheet = text.mid(text.indexOf(u'\n', split) + 1);
    if (skin.colours.isEmpty() || skin.sheet.trimmed().isEmpty())
        return std::nullopt;
    // Every @name in the sheet must be a named colour.
    static const QRegularExpression reference(QStringLiteral("@([A-Za-z][A-Za-z0-9_]*)"));
    for (auto it = reference.globalMatch(skin.sheet); it.hasNext();) {
        const QString name = it.next().captured(1);
        const bool known = std::any_of(skin.colours.begin(), skin.colours.end(),
                                       [&](const auto& entry) { return name == entry.first; });
        if (!known)
            return std::nullopt;
    }
    return skin;
}

QColor SkinEngine::Adjust(const QColor& colour, int hue, int saturation, int value)
{
    int h, s, v, a;
    colour.getHsv(&h, &s, &v, &a);
    if (h >= 0)
        h = ((h + hue) % 360 + 360) % 360;
    s = std::clamp(s + saturation * 255 / 100, 0, 255);
    v = std::clamp(v + value * 255 / 100, 0, 255);
    return QColor::fromHsv(h, s, v, a);
}

bool SkinEngine::Attach(const QString& path)
{
    QFile file(path);
    std::optional<Skin> skin;
    if (file.open(QIODevice::ReadOnly) && file.size() <= MaxSkinSize)
        skin = Parse(QString::fromUtf8(file.readAll()));
    skin_ = std::move(skin);
    Apply();
    return skin_.has_value();
}

void SkinEngine::AdjustHSV(int hue, int saturation, int value)
{
    hue_ = hue;
    saturation_ = saturation;
    value_ = value;
    Apply();
}

std::optional<QColor> SkinEngine::Colour(const QString& name) const
{
    if (!skin_)
        return std::nullopt;
    for (const auto& [colourName, colour] : skin_->colours) {
        if (colourName == name)
            return Adjust(colour, hue_, saturation_, value_);
    }
    return std::nullopt;
}

QString SkinEngine::StyleSheet() const
{
    if (!skin_)
        return {};
    QString sheet = skin_->sheet;
    for (const auto& [name, colour] : ByLongestName(skin_->colours))
        sheet.replace(u'@' + name, Adjust(colour, hue_, saturation_, value_).name());
    return sheet;
}

void SkinEngine::Apply() const
{
    if (auto* app = qobject_cast<QApplication*>(QCoreApplication::instance())) {
        if (skin_ && app->style()->name() != QLatin1String("fusion"))
            app->setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
        app->setStyleSheet(StyleSheet());
    }
}

namespace {

int EngineAttachEx(const char* skinFile, const char* /*password: our skins have none*/)
{
    if (!skinFile)
        return 1;
    return SkinEngine::Instance().Attach(QString::fromLocal8Bit(skinFile)) ? 0 : 1;
}

int EngineAdjustHSV(int hue, int saturation, int value)
{
    SkinEngine::Instance().AdjustHSV(hue, saturation, value);
    return 0;
}

SkinLibrary& InstalledLibrary()
{
    static SkinLibrary library = SkinEngineLibrary();
    return library;
}

} // namespace

SkinLibrary SkinEngineLibrary()
{
    return {EngineAttachEx, EngineAdjustHSV};
}

SkinLibrary SetSkinLibrary(SkinLibrary library)
{
    return std::exchange(InstalledLibrary(), library);
}

} // namespace vidlatch::platform

int SkinH_AttachEx(const char* skinFile, const char* password)
{
    return vidlatch::platform::InstalledLibrary().AttachEx(skinFile, password);
}

int SkinH_AdjustHSV(int hue, int saturation, int value)
{
    return vidlatch::platform::InstalledLibrary().AdjustHSV(hue, saturation, value);
}
