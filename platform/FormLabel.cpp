#include "FormLabel.h"

#include <QRegularExpression>

namespace vidlatch::platform {

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
    setText(shown);
    if (autoSize_)
        resize(sizeHint());
}

} // namespace vidlatch::platform
