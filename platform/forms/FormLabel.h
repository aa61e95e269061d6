#pragma once

#include <QFont>
#include <QLabel>

#include <optional>

namespace vidlatch::platform {

// A label as the forms know it: its caption keeps the text exactly as set
// (line breaks "\r\n", "\r" or "\n" each start a new line on screen), and an
// auto-size label takes the size of its caption. Lines are laid 12 pixels
// apart, as the layouts have them, whatever the font's own line spacing.
class FormLabel : public QLabel {
    Q_OBJECT

public:
    FormLabel(bool autoSize, Qt::Alignment alignment, QWidget* parent);

    void setCaption(const QString& caption);
    QString Caption() const { return caption_; }

    // Lines of the caption that are web addresses are drawn in `font`.
    void setAddressFont(const QFont& font);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString caption_;
    std::optional<QFont> addressFont_;
    bool autoSize_;
};

} // namespace vidlatch::platform
