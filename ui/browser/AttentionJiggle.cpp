#include "AttentionJiggle.h"

#include "AddressWatch.h"
#include "Twips.h"

#include <QWidget>

namespace vidlatch::ui {

AttentionJiggle::AttentionJiggle(ControlPosition& position, QObject* parent)
    : QObject(parent), position_(position)
{
    // One cycle in twips, as the shake moves: down, back, up, back, right,
    // back, left, back.
    constexpr qreal Step = 100;
    const QPointF moves[] = {{0, Step}, {0, 0}, {0, -Step}, {0, 0}, {Step, 0}, {0, 0}, {-Step, 0}};
    animation_.setStartValue(QPointF(0, 0));
    for (int i = 0; i < 7; ++i)
        animation_.setKeyValueAt((i + 1) / 8.0, moves[i]);
    animation_.setEndValue(QPointF(0, 0));
    animation_.setDuration(CycleMs);
    animation_.setLoopCount(Cycles);
    connect(&animation_, &QVariantAnimation::valueChanged, this,
            [this](const QVariant& value) { ShowOffset(value.toPointF()); });
    connect(&animation_, &QVariantAnimation::finished, this, [this] {
        ShowOffset(QPointF(0, 0));
        emit finished();
    });
}

void AttentionJiggle::Start()
{
    animation_.stop();
    animation_.start();
}

void AttentionJiggle::ShowOffset(const QPointF& twips)
{
    position_.control()->move(position_.Pixels() + platform::TwipsPoint(twips.x(), twips.y()));
}

} // namespace vidlatch::ui
