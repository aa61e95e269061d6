#pragma once

#include <QVariantAnimation>

namespace vidlatch::ui {

class ControlPosition;

// What the user sees of the attention shake: the control jiggles down, up,
// right and left around where it stands for a moment, driven by the event
// loop, so the window goes on answering meanwhile. A new start restarts it;
// it always ends where the control stood.
class AttentionJiggle : public QObject {
    Q_OBJECT

public:
    explicit AttentionJiggle(ControlPosition& position, QObject* parent = nullptr);
    // The control may be gone already: nothing more is moved.
    ~AttentionJiggle() override { animation_.disconnect(); }

    void Start();
    bool running() const { return animation_.state() == QAbstractAnimation::Running; }

    static constexpr int CycleMs = 100;
    static constexpr int Cycles = 4;

signals:
    void finished();

private:
    void ShowOffset(const QPointF& twips);

    ControlPosition& position_;
    QVariantAnimation animation_;
};

} // namespace vidlatch::ui
