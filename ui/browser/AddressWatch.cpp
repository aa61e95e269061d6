#include "AddressWatch.h"

#include <QCoreApplication>

#include "ParsePageAddress.h"
#include "QtText.h"
#include "SiteConstants.h"
#include "Twips.h"

#include <QWidget>

#include <cmath>

namespace vidlatch::ui {

WatchVerdict Watch(int browser, const QString& field, const QString& location)
{
    if (BeginsFirstAddress(U16(field), site::VideoPagePrefix)) {
        return {browser == 1 ? QCoreApplication::translate("Vidlatch", "已检测到浏览页面【1】存在有效地址!现在您可以进行获取了!")
                             : QCoreApplication::translate("Vidlatch", "已检测到浏览页面【2】存在有效地址!现在您可以进行获取了!"),
                true};
    }
    if (browser == 1)
        return {QCoreApplication::translate("Vidlatch", "检测网页一中的网址有变化,但是当前地址不可获取"), false};
    if (location.contains(Q(site::BlogHostPrefix)))
        return {QCoreApplication::translate("Vidlatch", "检测网页二中的网址有变化,但是当前地址不可获取"), false};
    return {QCoreApplication::translate("Vidlatch", "检测网页二中的网址有变化,当前获取网页二的地址"), false};
}

ValidityNotice CheckValidity(const QString& field)
{
    if (BeginsFirstAddress(U16(field), site::VideoPagePrefix))
        return {QCoreApplication::translate("Vidlatch", "当前页面地址有效!可以获取!"), NoticeStyle::Information};
    return {QCoreApplication::translate("Vidlatch", "您当前获取的视频地址页面有误!请您检查!"), NoticeStyle::Warning};
}

ControlPosition::ControlPosition(QWidget* control)
    : control_(control),
      left_(static_cast<float>(control->x() * platform::TwipsPerPixel)),
      top_(static_cast<float>(control->y() * platform::TwipsPerPixel))
{
}

void ControlPosition::setLeft(float twips)
{
    left_ = twips;
    if (onWrite)
        onWrite('L', twips);
    Move();
}

void ControlPosition::setTop(float twips)
{
    top_ = twips;
    if (onWrite)
        onWrite('T', twips);
    Move();
}

QPoint ControlPosition::Pixels() const
{
    return platform::TwipsPoint(left_, top_);
}

void ControlPosition::Move()
{
    // The screen shows whatever the event loop next paints: the writes are
    // too quick to be seen one by one, and the jiggle makes them visible.
    control_->move(Pixels());
}

void Shake(ControlPosition& button)
{
    constexpr int Cycles = 300;
    constexpr float Step = 100;
    for (int cycle = 1; cycle <= Cycles; ++cycle) {
        button.setTop(button.Top() + Step);
        button.setTop(button.Top() - Step);
        button.setTop(button.Top() - Step);
        button.setTop(button.Top() + Step);
        button.setLeft(button.Left() + Step);
        button.setLeft(button.Left() - Step);
        button.setLeft(button.Left() - Step);
        button.setLeft(button.Left() + Step);
    }
}

} // namespace vidlatch::ui
