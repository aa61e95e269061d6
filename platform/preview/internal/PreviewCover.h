#pragma once

#include <QPointer>
#include <QTimer>
#include <QWidget>

namespace vidlatch::platform {

// Lies over the preview. While a movie is on its way it covers the movie
// before, whatever that movie's page is doing, so that no movie ever shows
// under another's address, and says quietly that one is loading and how far
// it has come, as the Flash plug-in showed a movie's loading. It also
// draws the focus mark while the preview has the keyboard, which the page
// cannot show. It takes no mouse and no focus, and is hidden when it has
// nothing to show.
class PreviewCover : public QWidget {
    Q_OBJECT

public:
    explicit PreviewCover(QWidget* view);

    // Loading starts with nothing come yet, and ends what the cover said.
    void setLoading(bool loading);
    // Says `sentence` in the page's stead, where no page could be had,
    // until the next movie loads.
    void Say(const QString& sentence);
    // Ends loading once the view has drawn what its page shows now: the
    // page says that its frame is drawn before the view has it. LiftMs at
    // the latest, where the view has it already and draws no more.
    void LiftOnceDrawn();
    static constexpr int LiftMs = 150;
    bool loading() const { return loading_; }
    QString sentence() const { return sentence_; }
    // How much of the movie has come; `total` is -1 where the site does not say.
    void setProgress(qint64 received, qint64 total);
    QString text() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Update();

    QWidget* view_;
    bool loading_ = false;
    QString sentence_;
    QPointer<QWidget> content_;  // what the view draws the page in, while we wait for it
    QTimer lift_;
    qint64 received_ = 0;
    qint64 total_ = -1;
    bool focused_ = false;
};

} // namespace vidlatch::platform
