#include "PreviewCover.h"

#include <QApplication>
#include <QEvent>
#include <QLocale>
#include <QPainter>

namespace vidlatch::platform {
namespace {

constexpr int FocusMarkWidth = 2;

} // namespace

PreviewCover::PreviewCover(QWidget* view) : QWidget(view), view_(view)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    hide();
    view_->installEventFilter(this);
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        // The focus goes to the widget the web engine makes inside the view.
        const bool focused = now && (now == view_ || view_->isAncestorOf(now));
        if (focused != focused_) {
            focused_ = focused;
            Update();
        }
    });
}

void PreviewCover::setLoading(bool loading)
{
    if (loading == loading_)
        return;
    loading_ = loading;
    received_ = 0;
    total_ = -1;
    Update();
}

void PreviewCover::setProgress(qint64 received, qint64 total)
{
    if (!loading_ || (received == received_ && total == total_))
        return;
    received_ = received;
    total_ = total;
    update();
}

QString PreviewCover::text() const
{
    if (received_ <= 0)
        return QCoreApplication::translate("Vidlatch", "正在载入影片…");
    const QLocale locale;
    const QString come = total_ > received_ ? locale.toString(received_ * 100 / total_) + locale.percent()
                                    : locale.formattedDataSize(received_, 1, QLocale::DataSizeTraditionalFormat);
    return QCoreApplication::translate("Vidlatch", "正在载入影片… %1").arg(come);
}

void PreviewCover::Update()
{
    setVisible(loading_ || focused_);
    if (isVisible()) {
        setGeometry(view_->rect());
        raise();  // over the widget the web engine makes, and makes again
        update();
    }
}

bool PreviewCover::eventFilter(QObject*, QEvent* event)
{
    if (event->type() == QEvent::Resize || (event->type() == QEvent::ChildAdded && isVisible()))
        Update();
    return false;
}

void PreviewCover::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    if (loading_) {
        painter.fillRect(rect(), palette().window());
        painter.setPen(palette().color(QPalette::Disabled, QPalette::WindowText));
        painter.drawText(rect(), Qt::AlignCenter, text());
    }
    if (focused_) {
        // Drawn by hand: styles draw their focus frame only after a key
        // moved the focus, and only round controls they know.
        painter.setPen(QPen(palette().highlight(), FocusMarkWidth, Qt::DashLine));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(QRectF(rect()).adjusted(FocusMarkWidth / 2.0, FocusMarkWidth / 2.0, -FocusMarkWidth / 2.0,
                                                 -FocusMarkWidth / 2.0));
    }
}

} // namespace vidlatch::platform
