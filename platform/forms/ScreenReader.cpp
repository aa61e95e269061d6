#include "ScreenReader.h"

#include "StatusBar.h"
#include "TabControl.h"

#include <QAccessible>
#include <QAccessibleObject>
#include <QAccessibleWidget>
#include <QByteArray>
#include <QVariant>
#include <QWidget>
#include <QtGlobal>

#include <utility>

namespace vidlatch::platform {
namespace {

constexpr char UnseenProperty[] = "vidlatchUnseen";

bool Unseen(const QAccessibleInterface* node)
{
    return node && node->object() && node->object()->property(UnseenProperty).toBool();
}

// QAccessibleWidget, with a top-level widget as a frame and the children
// marked unseen left out.
class WidgetNode : public QAccessibleWidget {
public:
    WidgetNode(QWidget* widget, QAccessible::Role role) : QAccessibleWidget(widget, role) {}

    QAccessible::Role role() const override
    {
        return widget()->isWindow() ? QAccessible::Window : QAccessibleWidget::role();
    }
    int childCount() const override { return static_cast<int>(Children().size()); }
    QAccessibleInterface* child(int index) const override { return Children().value(index); }
    int indexOfChild(const QAccessibleInterface* child) const override
    {
        return static_cast<int>(Children().indexOf(const_cast<QAccessibleInterface*>(child)));
    }

private:
    QList<QAccessibleInterface*> Children() const
    {
        QList<QAccessibleInterface*> children;
        for (int i = 0; i < QAccessibleWidget::childCount(); ++i) {
            if (QAccessibleInterface* node = QAccessibleWidget::child(i); node && !Unseen(node))
                children.append(node);
        }
        return children;
    }
};

// One piece of news an Announcer said.
class Notice : public QObject {
    Q_OBJECT

public:
    Notice(QString text, QWidget* owner, QObject* parent) : QObject(parent), text_(std::move(text)), owner_(owner) {}
    const QString& Text() const { return text_; }
    QWidget* Owner() const { return owner_; }

private:
    QString text_;
    QWidget* owner_;
};

class NoticeNode : public QAccessibleObject {
public:
    explicit NoticeNode(Notice* notice) : QAccessibleObject(notice) {}

    QAccessible::Role role() const override { return QAccessible::Notification; }
    QAccessible::State state() const override { return {}; }
    QString text(QAccessible::Text t) const override
    {
        return t == QAccessible::Name ? static_cast<Notice*>(object())->Text() : QString();
    }
    QAccessibleInterface* parent() const override
    {
        return QAccessible::queryAccessibleInterface(static_cast<Notice*>(object())->Owner());
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
};

QAccessibleInterface* MakeNode(const QString& className, QObject* object)
{
    // Keyed on the class whose interface is wanted; Qt's own factory comes
    // after ours, so "QWidget" here is any widget with no interface of its own.
    if (className == QLatin1String(Notice::staticMetaObject.className()))
        return new NoticeNode(static_cast<Notice*>(object));
    auto* widget = qobject_cast<QWidget*>(object);
    if (!widget)
        return nullptr;
    if (className == QLatin1String(StatusBar::staticMetaObject.className()))
        return new WidgetNode(widget, QAccessible::StatusBar);
    if (className == QLatin1String(TabControl::staticMetaObject.className()))
        return new WidgetNode(widget, QAccessible::Grouping);
    if (className == QLatin1String("QWidget"))
        return new WidgetNode(widget, QAccessible::Client);
    return nullptr;
}

} // namespace

void ExposeWebPagesToScreenReaders()
{
    // The web engine reads it once, when it starts; a user's own setting stays.
    if (!qEnvironmentVariableIsSet("QTWEBENGINE_ENABLE_LINUX_ACCESSIBILITY"))
        qputenv("QTWEBENGINE_ENABLE_LINUX_ACCESSIBILITY", QByteArray("1"));
}

void InstallScreenReaderRoles()
{
    // Factories installed later are asked first: after Qt's own, made with the QApplication.
    static const bool installed = [] {
        QAccessible::installFactory(MakeNode);
        return true;
    }();
    Q_UNUSED(installed);
}

void HideFromScreenReaders(QWidget* widget)
{
    widget->setProperty(UnseenProperty, true);
}

Announcer::Announcer(QWidget* owner) : QObject(owner), owner_(owner) {}

void Announcer::Say(const QString& text)
{
    if (text == text_)
        return;
    text_ = text;
    constexpr int KeptNotices = 4;  // long enough for a screen reader to ask, however fast news comes
    if (notices_.size() == KeptNotices)
        delete notices_.takeFirst();
    auto* notice = new Notice(text, owner_, this);
    notices_.append(notice);
    // Orca speaks a notification as it is shown.
    QAccessibleEvent shown(notice, QAccessible::ObjectShow);
    QAccessible::updateAccessibility(&shown);
}

} // namespace vidlatch::platform

#include "ScreenReader.moc"
