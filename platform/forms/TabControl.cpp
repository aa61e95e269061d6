#include "TabControl.h"

#include "FormRuntime.h"
#include "ScreenReader.h"

#include <QCoreApplication>

#include <QFrame>
#include <QTabBar>

namespace vidlatch::platform {
namespace {

// Tabs share the strip's width evenly, whatever their captions.
class EvenTabStrip : public QTabBar {
public:
    using QTabBar::QTabBar;

protected:
    QSize tabSizeHint(int index) const override
    {
        QSize size = QTabBar::tabSizeHint(index);
        if (count() > 0)
            size.setWidth(width() / count());
        return size;
    }
    QSize minimumTabSizeHint(int index) const override { return tabSizeHint(index); }
};

} // namespace

TabControl::TabControl(const QStringList& captions, QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("tabControl"));
    pane_ = new QFrame(this);
    pane_->setObjectName(QStringLiteral("tabPane"));
    pane_->setFrameShape(QFrame::StyledPanel);
    HideFromScreenReaders(pane_);  // a border: to a screen reader, another "frame" in the window
    strip_ = new EvenTabStrip(this);
    strip_->setDrawBase(false);
    strip_->setExpanding(true);
    strip_->setUsesScrollButtons(false);
    strip_->setElideMode(Qt::ElideNone);
    for (const QString& caption : captions) {
        strip_->addTab(caption);
        controls_.append(QList<QWidget*>());
    }
    // The focus and the screen reader belong to the tabs themselves.
    setFocusPolicy(Qt::NoFocus);
    setFocusProxy(strip_);
    connect(strip_, &QTabBar::currentChanged, this, [this](int tab) {
        const int previous = current_;
        current_ = tab;
        ShowControlsOf(tab);
        RunHandler([&] { emit Click(previous); });
    });
}

int TabControl::Tab() const
{
    return current_;
}

void TabControl::setTab(int tab)
{
    if (tab < 0 || tab >= strip_->count())
        throw ComponentError(QT_TRANSLATE_NOOP("Vidlatch", "无效的属性值"));
    strip_->setCurrentIndex(tab);
}

QString TabControl::TabCaption(int tab) const
{
    return strip_->tabText(tab);
}

void TabControl::PlaceOnTab(int tab, QWidget* control)
{
    controls_[tab].append(control);
    control->setParent(this);
    control->setVisible(tab == current_);
    strip_->raise();
}

void TabControl::ShowControlsOf(int tab)
{
    for (int i = 0; i < controls_.size(); ++i) {
        for (QWidget* control : controls_[i])
            control->setVisible(i == tab);
    }
}

void TabControl::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    const int stripHeight = strip_->sizeHint().height();
    strip_->setGeometry(0, 0, width(), stripHeight);
    pane_->setGeometry(0, stripHeight - 1, width(), height() - stripHeight + 1);
    pane_->lower();
}

} // namespace vidlatch::platform
