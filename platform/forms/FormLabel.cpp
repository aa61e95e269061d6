#include "FormLabel.h"

#include <QPainter>
#include <QRegularExpression>
#include <QStyle>

#include <algorithm>

namespace vidlatch::platform {
namespace {

constexpr int LineStep = 12;

// `lines` as rich text, each line as it is, those that are web addresses in `font`.
QString WithAddressFont(const QStringList& lines, const QFont& font)
{
    QStringList shown;
    for (const QString& line : lines) {
        shown.append(line.toHtmlEscaped());
        if (line.contains(QStringLiteral("://")))
            shown.last() = QStringLiteral("<span style=\"font-family:'%1'; font-size:%2px\">%3</span>")
                               .arg(font.family(), QString::number(font.pixelSize()), shown.last());
    }
    return QStringLiteral("<div style=\"white-space:pre\">%1</div>").arg(shown.join(QStringLiteral("<br>")));
}

} // namespace

FormLabel::FormLabel(bool autoSize, Qt::Alignment alignment, QWidget* parent)
    : QLabel(parent), autoSize_(autoSize)
{
    setTextFormat(Qt::PlainText);
    setWordWrap(false);
    setAlignment(alignment | Qt::AlignTop);
}

void FormLabel::setCaption(const QString& caption)
{
    caption_ = caption;
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\r"));
    QString shown = caption;
    shown.replace(lineBreak, QStringLiteral("\n"));
    // A caption that ends in a line break keeps that empty last line.
    setText(addressFont_ ? WithAddressFont(shown.split(u'\n'), *addressFont_) : shown);
    if (autoSize_)
        resize(sizeHint());
}

void FormLabel::setAddressFont(const QFont& font)
{
    addressFont_ = font;
    setTextFormat(Qt::RichText);
    setCaption(caption_);
}

QSize FormLabel::sizeHint() const
{
    if (textFormat() != Qt::PlainText)
        return QLabel::sizeHint();
    const QStringList lines = text().split(u'\n');
    int widest = 0;
    for (const QString& line : lines)
        widest = std::max(widest, fontMetrics().horizontalAdvance(line));
    return QSize(widest, int(lines.size()) * std::min(fontMetrics().height(), LineStep));
}

void FormLabel::paintEvent(QPaintEvent* event)
{
    if (textFormat() != Qt::PlainText) {
        QLabel::paintEvent(event);
        return;
    }
    // A font with more leading than the layouts allow (DejaVu Sans) gives up
    // its leading, not the feet of its letters: each line keeps its descent
    // whole at the bottom of its 12 pixels.
    const QFontMetrics metrics = fontMetrics();
    const int step = std::min(metrics.height(), LineStep);
    QPainter painter(this);
    QRect line(0, step - metrics.height(), width(), metrics.height());
    for (const QString& text : text().split(u'\n')) {
        style()->drawItemText(&painter, line, int(alignment() & Qt::AlignHorizontal_Mask), palette(), isEnabled(),
                              text, foregroundRole());
        line.translate(0, step);
    }
}

} // namespace vidlatch::platform
