#include "AddressWatch.h"

#include "QtText.h"
#include "SiteConstants.h"
#include "Twips.h"

#include <QElapsedTimer>
#include <QThread>
#include <QWidget>

#include <cmath>

namespace vidlatch::ui {

WatchVerdict Watch(int browser, const QString& field, const QString& location)
{
    if (field.contains(Q(site::VideoPagePrefix))) {
        return {browser == 1 ? QStringLiteral("已检测到浏览页面【1】存在有效地址!现在您可以进行获取了!")
                             : QStringLiteral("已检测到浏览页面【2】存在有效地址!现在您可以进行获取了!"),
                true};
    }
    if (browser == 1)
        return {QStringLiteral("检测网页一中的网址有变化,但是当前地址不可获取"), false};
    if (location.contains(Q(site::BlogHostPrefix)))
        return {QStringLiteral("检测网页二中的网址有变化,但是当前地址不可获取"), false};
    return {QStringLiteral("检测网页二中的网址有变化,当前获取网页二的地址"), false};
}

ValidityNotice CheckValidity(const QString& field)
{
    if (field.contains(Q(site::VideoPagePrefix)))
        return {QStringLiteral("当前页面地址有效!可以获取!"), NoticeStyle::Information};
    return {QStringLiteral("您当前获取的视频地址页面有误!请您检查!"), NoticeStyle::Warning};
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

void ControlPosition::Move()
{
    const QRect before = control_->geometry();
    control_->move(static_cast<int>(std::lround(left_ / platform::TwipsPerPixel)),
                   static_cast<int>(std::lround(top_ / platform::TwipsPerPixel)));
    // Painted now, not when the event loop comes round: the shake never yields.
    if (QWidget* container = control_->parentWidget(); container && control_->isVisible())
        container->repaint(before.united(control_->geometry()));
}

void Shake(ControlPosition& button)
{
    constexpr int Cycles = 300;
    constexpr float Step = 100;
    // Painting is so quick that the jiggle would be over before the screen
    // showed it: each cycle waits for its share of a short, visible moment.
    constexpr qint64 ShakeNanoseconds = 400'000'000;
    QElapsedTimer clock;
    clock.start();
    for (int cycle = 1; cycle <= Cycles; ++cycle) {
        button.setTop(button.Top() + Step);
        button.setTop(button.Top() - Step);
        button.setTop(button.Top() - Step);
        button.setTop(button.Top() + Step);
        button.setLeft(button.Left() + Step);
        button.setLeft(button.Left() - Step);
        button.setLeft(button.Left() - Step);
        button.setLeft(button.Left() + Step);
        const qint64 due = ShakeNanoseconds * cycle / Cycles;
        if (const qint64 early = due - clock.nsecsElapsed(); early > 0)
            QThread::usleep(static_cast<unsigned long>(early / 1000));
    }
}

} // namespace vidlatch::ui
