// SPDX-License-Identifier: GPL-2.0-or-later
#include "BalloonToolTip.h"

#include "BalloonWindow.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QHelpEvent>
#include <QMenu>
#include <QPointer>
#include <QTimer>

namespace {

constexpr const char* kSuppressedProperty = "leafbindNoToolTips";
constexpr int kAutoHideMs = 10000;

// A QAction without a tooltip of its own reports its caption, less mnemonics and ellipses, as one;
// that is no hint.
QString ActionHint(const QAction* action)
{
    if (!action)
        return {};
    const QString tip = action->toolTip();
    QString caption = action->text();
    caption.remove(QStringLiteral("..."));
    caption.remove(QLatin1Char('&'));
    return tip == caption ? QString() : tip;
}

// Swallows tooltip requests in a window that opted out, whether or not balloons are installed.
class ToolTipBlocker : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject*, QEvent* event) override { return event->type() == QEvent::ToolTip; }
};

class BalloonToolTipFilter : public QObject {
public:
    using QObject::QObject;

    BalloonWindow* Balloon() const { return balloon_.data(); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool OnToolTip(QWidget* widget, QHelpEvent* help);
    void Show(const QString& text, QWidget* owner, const QAction* action, const QPoint& globalPos);
    void Hide();

    // Belongs to the window of the widget it last spoke for, and goes away with that window.
    QPointer<BalloonWindow> balloon_;
    QPointer<QWidget> owner_;
    QPointer<const QAction> action_;
    QTimer autoHide_;
};

BalloonToolTipFilter* g_filter = nullptr;

bool BalloonToolTipFilter::eventFilter(QObject* watched, QEvent* event)
{
    QWidget* widget = qobject_cast<QWidget*>(watched);
    if (!widget)
        return false;
    switch (event->type()) {
    case QEvent::ToolTip:
        return OnToolTip(widget, static_cast<QHelpEvent*>(event));
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::Wheel:
        Hide();
        break;
    case QEvent::Leave:
    case QEvent::Hide:
    case QEvent::WindowDeactivate:
        if (widget == owner_ || (owner_ && widget == owner_->window()))
            Hide();
        break;
    case QEvent::MouseMove:
        // Within a menu the hint belongs to one item; moving to another item takes it away.
        if (widget == owner_ && action_) {
            const auto* menu = qobject_cast<QMenu*>(widget);
            if (menu && menu->actionAt(static_cast<QMouseEvent*>(event)->position().toPoint()) != action_)
                Hide();
        }
        break;
    default:
        break;
    }
    return false;
}

bool BalloonToolTipFilter::OnToolTip(QWidget* widget, QHelpEvent* help)
{
    if (BalloonToolTipsSuppressed(widget)) {
        Hide();
        return true;
    }
    if (auto* menu = qobject_cast<QMenu*>(widget); menu && menu->toolTipsVisible()) {
        const QAction* action = menu->actionAt(help->pos());
        const QString hint = ActionHint(action);
        if (hint.isEmpty())
            Hide();
        else
            Show(hint, menu, action, help->globalPos());
        return true;
    }
    if (auto* view = qobject_cast<QAbstractItemView*>(widget->parentWidget()); view && view->viewport() == widget) {
        // An item's own hint wins over the list's.
        const QString itemHint = view->indexAt(help->pos()).data(Qt::ToolTipRole).toString();
        const QString hint = itemHint.isEmpty() ? view->toolTip() : itemHint;
        if (hint.isEmpty())
            return false;
        Show(hint, view, nullptr, help->globalPos());
        return true;
    }
    const QString hint = widget->toolTip();
    if (hint.isEmpty())
        return false;  // the parent may carry a hint of its own
    Show(hint, widget, nullptr, help->globalPos());
    return true;
}

void BalloonToolTipFilter::Show(const QString& text, QWidget* owner, const QAction* action, const QPoint& globalPos)
{
    if (balloon_ && balloon_->isVisible() && owner == owner_ && action == action_ && text == balloon_->Text())
        return;  // already showing this hint: keep it where it is
    QWidget* host = owner->window();
    if (balloon_ && balloon_->parentWidget() != host) {
        balloon_->hide();
        balloon_->deleteLater();
        balloon_ = nullptr;
    }
    if (!balloon_)
        balloon_ = new BalloonWindow(host);
    if (!autoHide_.isSingleShot()) {
        autoHide_.setSingleShot(true);
        connect(&autoHide_, &QTimer::timeout, this, [this] { Hide(); });
    }
    owner_ = owner;
    action_ = action;
    balloon_->ShowText(text, owner->font(), globalPos);
    autoHide_.start(kAutoHideMs);
}

void BalloonToolTipFilter::Hide()
{
    autoHide_.stop();
    owner_ = nullptr;
    action_ = nullptr;
    if (balloon_ && balloon_->isVisible())
        balloon_->hide();
}

}  // namespace

void InstallBalloonToolTips(QApplication& app)
{
    if (g_filter)
        return;
    g_filter = new BalloonToolTipFilter(&app);
    QObject::connect(g_filter, &QObject::destroyed, [] { g_filter = nullptr; });
    app.installEventFilter(g_filter);
}

void SuppressBalloonToolTips(QWidget* window)
{
    window->setProperty(kSuppressedProperty, true);
    auto* blocker = new ToolTipBlocker(window);
    window->installEventFilter(blocker);
    for (QWidget* child : window->findChildren<QWidget*>())
        child->installEventFilter(blocker);
}

bool BalloonToolTipsSuppressed(const QWidget* widget)
{
    const QWidget* window = widget ? widget->window() : nullptr;
    return window && window->property(kSuppressedProperty).toBool();
}

QWidget* VisibleBalloon()
{
    if (!g_filter || !g_filter->Balloon() || !g_filter->Balloon()->isVisible())
        return nullptr;
    return g_filter->Balloon();
}
