#pragma once

#include <QFont>
#include <QLabel>

#include <optional>

namespace vidlatch::platform {

// A label as the forms know it: its caption keeps the text exactly as set
// (line breaks "\r\n", "\r" or "\n" each start a new line on screen), and an
// auto-size label takes the size of its caption.
class FormLabel : public QLabel {
    Q_OBJECT

public:
    FormLabel(bool autoSize, Qt::Alignment alignment, QWidget* parent);

    void setCaption(const QString& caption);
    QString Caption() const { return caption_; }

    // Lines of the caption that are web addresses are drawn in `font`.
    void setAddressFont(const QFont& font);

private:
    QString caption_;
    std::optional<QFont> addressFont_;
    bool autoSize_;
};

} // namespace vidlatch::platform
