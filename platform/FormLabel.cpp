#include "FormLabel.h"

#include <QRegularExpression>

namespace vidlatch::platform {
namespace {

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

} // namespace vidlatch::platform
