#pragma once

#include <QList>
#include <QObject>
#include <QString>

class QWidget;

namespace vidlatch::platform {

// Lets screen readers into the web pages. Qt 6.4's web engine keeps a page's
// content from them on Linux unless QTWEBENGINE_ENABLE_LINUX_ACCESSIBILITY is
// set when it starts; even then it builds a page's accessibility tree only
// while an assistive technology is active. Must run before the web engine
// starts (before the QApplication is made).
void ExposeWebPagesToScreenReaders();

// Our widgets as screen readers know them: a top-level form is a frame (Qt
// makes a plain QWidget window a filler), the status bar a status bar, the
// tab control a group, and what HideFromScreenReaders marked is left out of
// its parent's children. Needs the QApplication; later calls do nothing.
void InstallScreenReaderRoles();

// Leaves `widget`, and all in it, out of the accessibility tree: for a
// control nobody ever sees, or mere decoration. Its parent must be one of
// ours (a form, the tab control, the status bar).
void HideFromScreenReaders(QWidget* widget);

// Tells screen readers short pieces of news as notifications, which Orca
// speaks wherever the focus is. Each is a node of its own, outside the tree,
// that keeps its text: a screen reader asks for it after the event, when
// newer news may have come.
class Announcer : public QObject {
    Q_OBJECT

public:
    explicit Announcer(QWidget* owner);

    // Says `text`, unless it is what was said last.
    void Say(const QString& text);
    QString Text() const { return text_; }

private:
    QWidget* owner_;
    QString text_;
    QList<QObject*> notices_;  // the last few said, oldest first
};

} // namespace vidlatch::platform
