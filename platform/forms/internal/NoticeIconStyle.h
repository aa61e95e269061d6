#pragma once

#include <QProxyStyle>

namespace vidlatch::platform {

// The style of our notice boxes: the application's, with the notices' own
// icons (information, warning, error) drawn sharp at any scale. Qt's are
// 32-pixel images that blur when scaled up.
class NoticeIconStyle : public QProxyStyle {
public:
    NoticeIconStyle();

    QIcon standardIcon(StandardPixmap icon, const QStyleOption* option = nullptr,
                       const QWidget* widget = nullptr) const override;
};

} // namespace vidlatch::platform
