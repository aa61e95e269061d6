#pragma once

#include <QList>
#include <QStringList>
#include <QWidget>

class QFrame;
class QTabBar;

namespace vidlatch::platform {

// A tab control with its tabs in one row, each half (a third, ...) of the
// control's width. Controls placed on a tab are children of the control, at
// places measured from its top-left corner, shown only while their tab is
// current and cut off at the control's edges.
class TabControl : public QWidget {
    Q_OBJECT

public:
    TabControl(const QStringList& captions, QWidget* parent);

    int Tab() const;
    // Makes `tab` current; the change event follows at once when it changes.
    void setTab(int tab);

    void PlaceOnTab(int tab, QWidget* control);
    QTabBar* TabStrip() const { return strip_; }
    QString TabCaption(int tab) const;

signals:
    // The current tab changed, by the user or by the program.
    void Click(int previousTab);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void ShowControlsOf(int tab);

    QTabBar* strip_;
    QFrame* pane_;
    QList<QList<QWidget*>> controls_;
    int current_ = 0;
};

} // namespace vidlatch::platform
