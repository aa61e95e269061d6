#include "NoticeIconStyle.h"

#include "RenderedImage.h"

#include <QApplication>
#include <QStyleFactory>

namespace vidlatch::platform {

NoticeIconStyle::NoticeIconStyle() : QProxyStyle(QStyleFactory::create(QApplication::style()->name()))
{
}

QIcon NoticeIconStyle::standardIcon(StandardPixmap icon, const QStyleOption* option, const QWidget* widget) const
{
    constexpr int Size = 32;
    QIcon ours;
    switch (icon) {
    case SP_MessageBoxInformation: ours = RenderedImage(u"notice-information", Size); break;
    case SP_MessageBoxWarning: ours = RenderedImage(u"notice-warning", Size); break;
    case SP_MessageBoxCritical: ours = RenderedImage(u"notice-critical", Size); break;
    default: break;
    }
    return ours.isNull() ? QProxyStyle::standardIcon(icon, option, widget) : ours;
}

} // namespace vidlatch::platform
