// SPDX-License-Identifier: GPL-2.0-or-later
// Balloon hints replace the standard tooltip for widgets, list items and menu items; windows that
// opt out show none.
#include "BalloonToolTip.h"
#include "BalloonWindow.h"

#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QToolTip>
#include <QVBoxLayout>

namespace {

void RequestHint(QWidget* widget, QPoint local)
{
    QHelpEvent help(QEvent::ToolTip, local, widget->mapToGlobal(local));
    QApplication::sendEvent(widget, &help);
}

QString BalloonText()
{
    auto* balloon = qobject_cast<BalloonWindow*>(VisibleBalloon());
    return balloon ? balloon->Text() : QString();
}

}  // namespace

class BalloonToolTipTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QWidget> window_;
    QPushButton* button_ = nullptr;
    QLabel* inner_ = nullptr;
    QListWidget* list_ = nullptr;

private slots:
    void initTestCase() { InstallBalloonToolTips(*qApp); }

    void init()
    {
        window_ = std::make_unique<QWidget>();
        auto* layout = new QVBoxLayout(window_.get());
        button_ = new QPushButton(QStringLiteral("Add..."));
        button_->setToolTip(QStringLiteral("Add JPG images to list"));
        auto* framed = new QWidget;
        framed->setToolTip(QStringLiteral("Image preview"));
        framed->setMinimumSize(80, 40);
        inner_ = new QLabel(QStringLiteral("no hint of its own"), framed);
        list_ = new QListWidget;
        list_->setToolTip(QStringLiteral("Images list, drag and drop to set order"));
        list_->addItem(QStringLiteral("plain.jpg"));
        auto* withHint = new QListWidgetItem(QStringLiteral("hinted.jpg"));
        withHint->setToolTip(QStringLiteral("an item's own hint"));
        list_->addItem(withHint);
        layout->addWidget(button_);
        layout->addWidget(framed);
        layout->addWidget(list_);
        window_->show();
        QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
    }
    void cleanup()
    {
        window_.reset();
        QTRY_VERIFY(!VisibleBalloon());
    }

    void everyHintShowsAsABalloon()
    {
        RequestHint(button_, QPoint(5, 5));
        QCOMPARE(BalloonText(), QStringLiteral("Add JPG images to list"));
        QVERIFY(!QToolTip::isVisible());

        RequestHint(inner_, QPoint(2, 2));  // a child without a hint shows its parent's
        QCOMPARE(BalloonText(), QStringLiteral("Image preview"));

        const QRect plainItem = list_->visualItemRect(list_->item(0));
        RequestHint(list_->viewport(), plainItem.center());
        QCOMPARE(BalloonText(), QStringLiteral("Images list, drag and drop to set order"));
        const QRect hintedItem = list_->visualItemRect(list_->item(1));
        RequestHint(list_->viewport(), hintedItem.center());
        QCOMPARE(BalloonText(), QStringLiteral("an item's own hint"));
        QVERIFY(!QToolTip::isVisible());
    }

    void balloonPointsAtTheHintAndGoesAwayWithThePointer()
    {
        RequestHint(button_, QPoint(5, 5));
        auto* balloon = qobject_cast<BalloonWindow*>(VisibleBalloon());
        QVERIFY(balloon);
        QCOMPARE(balloon->Shape().tip, button_->mapToGlobal(QPoint(5, 5)));
        QCOMPARE(balloon->geometry(), balloon->Shape().bounds);

        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(button_, &leave);
        QVERIFY(!VisibleBalloon());

        RequestHint(button_, QPoint(5, 5));
        QTest::keyClick(button_, Qt::Key_A);
        QVERIFY(!VisibleBalloon());
    }

    void balloonStaysOnTheScreenNearItsCorner()
    {
        const QRect area = button_->screen()->availableGeometry();
        const QPoint corner = area.bottomRight() - QPoint(2, 2);
        QHelpEvent help(QEvent::ToolTip, QPoint(5, 5), corner);
        QApplication::sendEvent(button_, &help);
        auto* balloon = qobject_cast<BalloonWindow*>(VisibleBalloon());
        QVERIFY(balloon);
        QCOMPARE(balloon->Shape().corner, StemCorner::BottomRight);
        QVERIFY(area.contains(balloon->geometry()));
    }

    void menuItemsShowTheirOwnHintsOnly()
    {
        QMenu menu;
        menu.setToolTipsVisible(true);
        QAction* add = menu.addAction(QStringLiteral("Add..."));
        add->setToolTip(QStringLiteral("Add images to list"));
        QAction* bare = menu.addAction(QStringLiteral("&Load..."));  // no hint: its caption is no hint
        menu.popup(QPoint(10, 10));
        QVERIFY(QTest::qWaitForWindowExposed(&menu));

        RequestHint(&menu, menu.actionGeometry(add).center());
        QCOMPARE(BalloonText(), QStringLiteral("Add images to list"));
        RequestHint(&menu, menu.actionGeometry(bare).center());
        QVERIFY(!VisibleBalloon());
        QVERIFY(!QToolTip::isVisible());

        // Moving onto another item takes the hint away.
        QTest::mouseMove(menu.windowHandle(), menu.actionGeometry(add).center());
        RequestHint(&menu, menu.actionGeometry(add).center());
        QVERIFY(VisibleBalloon());
        QTest::mouseMove(menu.windowHandle(), menu.actionGeometry(bare).center());
        QVERIFY(!VisibleBalloon());
    }

    void windowThatOptsOutShowsNothing()
    {
        QWidget quiet;
        auto* label = new QLabel(QStringLiteral("link"), &quiet);
        label->setToolTip(QStringLiteral("https://leafbind.example.org"));
        SuppressBalloonToolTips(&quiet);
        quiet.show();
        QVERIFY(QTest::qWaitForWindowExposed(&quiet));
        QVERIFY(BalloonToolTipsSuppressed(label));

        RequestHint(label, QPoint(2, 2));
        QVERIFY(!VisibleBalloon());
        QVERIFY(!QToolTip::isVisible());
        // A child added after opting out is covered by the window's mark.
        auto* later = new QLabel(QStringLiteral("later"), &quiet);
        later->setToolTip(QStringLiteral("late hint"));
        later->show();
        RequestHint(later, QPoint(2, 2));
        QVERIFY(!VisibleBalloon());
        QVERIFY(!QToolTip::isVisible());
    }
};

QTEST_MAIN(BalloonToolTipTest)
#include "balloon_tooltip_test.moc"
