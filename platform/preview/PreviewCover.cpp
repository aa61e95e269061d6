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
    lift_.setSingleShot(true);
    lift_.setInterval(LiftMs);
    connect(&lift_, &QTimer::timeout, this, [this] { setLoading(false); });
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
    lift_.stop();
    if (loading)
        sentence_.clear();
    if (QWidget* content = std::exchange(content_, nullptr))
        content->removeEventFilter(this);
    if (loading == loading_)
        return;
    loading_ = loading;
    received_ = 0;
    total_ = -1;
    Update();
}

void PreviewCover::Say(const QString& sentence)
{
    setLoading(false);
    sentence_ = sentence;
    Update();
}

void PreviewCover::LiftOnceDrawn()
{
    if (!loading_ || lift_.isActive())
        return;
    lift_.start();
    content_ = view_->focusProxy();
    if (content_)
        content_->installEventFilter(this);
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
    if (!sentence_.isEmpty())
        return sentence_;
    if (received_ <= 0)
        return QCoreApplication::translate("Vidlatch", "正在载入影片…");
    const QLocale locale;
    const QString come = total_ > received_ ? locale.toString(received_ * 100 / total_) + locale.percent()
                                    : locale.formattedDataSize(received_, 1, QLocale::DataSizeTraditionalFormat);
    return QCoreApplication::translate("Vidlatch", "正在载入影片… %1").arg(come);
}

void PreviewCover::Update()
{
    setVisible(loading_ || !sentence_.isEmpty() || focused_);
    if (isVisible()) {
        setGeometry(view_->rect());
        raise();  // over the widget the web engine makes, and makes again
        update();
    }
}

bool PreviewCover::eventFilter(QObject* watched, QEvent* event)
{
    // Drawn: lifted once that reaches the screen, after the events now due.
    if (content_ && watched == content_ && event->type() == QEvent::Paint)
        QTimer::singleShot(0, this, [this] { if (content_) setLoading(false); });
    if (event->type() == QEvent::Resize || (event->type() == QEvent::ChildAdded && isVisible()))
        Update();
    return false;
}

void PreviewCover::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    if (loading_ || !sentence_.isEmpty()) {
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
