// SPDX-License-Identifier: GPL-2.0-or-later
// Pairing, hit testing, item height and the selected item's accessors.
#include <QScrollBar>

#include "ListBoxTestKit.h"

class ListBoxModelTest : public QObject {
    Q_OBJECT

private slots:
    void init() { lists_ = std::make_unique<TwoLists>(); }
    void cleanup() { lists_.reset(); }

    void PairingLinksBothAndLeavesFormerPartners()
    {
        TListBox& a = *lists_->left;
        TListBox& b = *lists_->right;
        TListBox c(lists_->window.get());
        QCOMPARE(a.DragDropListBox(), nullptr);
        QCOMPARE(a.DragMode(), TListBox::dmManual);
        QVERIFY(a.AllowInternalDrag());

        a.SetDragDropListBox(&b);
        QCOMPARE(a.DragDropListBox(), &b);
        QCOMPARE(b.DragDropListBox(), &a);
        QCOMPARE(a.DragMode(), TListBox::dmAutomatic);
        QCOMPARE(b.DragMode(), TListBox::dmAutomatic);

        a.SetDragDropListBox(&c);
        QCOMPARE(a.DragDropListBox(), &c);
        QCOMPARE(c.DragDropListBox(), &a);
        QCOMPARE(b.DragDropListBox(), &a);  // the former partner stays linked

        a.SetDragDropListBox(nullptr);
        QCOMPARE(a.DragDropListBox(), nullptr);
        QCOMPARE(a.DragMode(), TListBox::dmManual);
        QCOMPARE(c.DragDropListBox(), &a);
        QCOMPARE(c.DragMode(), TListBox::dmAutomatic);

        a.SetDragDropListBox(&a);
        QCOMPARE(a.DragDropListBox(), &a);
        QCOMPARE(a.DragMode(), TListBox::dmAutomatic);
    }

    void DestroyedPartnerReadsAsNone()
    {
        TListBox& a = *lists_->left;
        {
            TListBox partner;
            a.SetDragDropListBox(&partner);
        }
        QCOMPARE(a.DragDropListBox(), nullptr);
    }

    void ReadersOfTheSelectedItem_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("hasObject");
        QTest::newRow("none selected") << -1 << QString() << false;
        QTest::newRow("with object") << 0 << "first" << true;
        QTest::newRow("without object") << 1 << "second" << false;
        QTest::newRow("added by the base list") << 2 << "third" << false;
    }
    void ReadersOfTheSelectedItem()
    {
        QFETCH(int, index);
        QFETCH(QString, text);
        QFETCH(bool, hasObject);
        TListBox& list = *lists_->left;
        QObject object;
        list.AddItem("first", &object);
        list.AddItem("second");
        list.addItem("third");
        list.SetItemIndex(index);
        QCOMPARE(list.ItemIndex(), index);
        QCOMPARE(list.ActiveString(), text);
        QCOMPARE(list.ActiveObject(), hasObject ? &object : nullptr);
    }

    void RemovalKeepsTheSelectionOnItsItemOrClearsIt_data()
    {
        QTest::addColumn<int>("removed");
        QTest::addColumn<QString>("expectedText");
        QTest::newRow("the selected item") << 2 << QString();
        QTest::newRow("an item above") << 0 << "c";
        QTest::newRow("an item below") << 3 << "c";
    }
    void RemovalKeepsTheSelectionOnItsItemOrClearsIt()
    {
        QFETCH(int, removed);
        QFETCH(QString, expectedText);
        TListBox& list = *lists_->left;
        TwoLists::Fill(list, {"a", "b", "c", "d"});
        list.SetItemIndex(2);
        delete list.takeItem(removed);
        QCOMPARE(list.ActiveString(), expectedText);
        QCOMPARE(list.ItemIndex(), expectedText.isEmpty() ? -1 : TwoLists::Texts(list).indexOf("c"));
        // Later removals of unselected items do not clear a new selection.
        list.SetItemIndex(0);
        delete list.takeItem(list.count() - 1);
        QCOMPARE(list.ItemIndex(), 0);
    }

    void ItemAtPointUsesViewportCoordinates_data()
    {
        QTest::addColumn<int>("scrolledTo");  // row at the top of the viewport
        QTest::addColumn<QPoint>("point");
        QTest::addColumn<int>("expected");
        QTest::newRow("first row, left edge") << 0 << QPoint(0, 0) << 0;
        QTest::newRow("first row, right edge") << 0 << QPoint(-1, 15) << 0;
        QTest::newRow("fourth row") << 0 << QPoint(30, 3 * 16 + 8) << 3;
        QTest::newRow("left of the viewport") << 0 << QPoint(-200, 8) << -1;
        QTest::newRow("above the viewport") << 0 << QPoint(30, -1) << -1;
        QTest::newRow("below the viewport") << 0 << QPoint(30, 1000) << -1;
        QTest::newRow("scrolled: top row") << 50 << QPoint(30, 2) << 50;
        QTest::newRow("scrolled: third row") << 50 << QPoint(30, 2 * 16 + 1) << 52;
        QTest::newRow("scrolled to the end: below the last") << 100 << QPoint(30, -10) << -1;
    }
    void ItemAtPointUsesViewportCoordinates()
    {
        QFETCH(int, scrolledTo);
        QFETCH(QPoint, point);
        QFETCH(int, expected);
        TListBox& list = *lists_->left;
        for (int i = 0; i < 100; ++i)
            list.AddItem(QString::number(i));
        list.AddItem("last");
        list.scrollToItem(list.item(scrolledTo), QAbstractItemView::PositionAtTop);
        // Negative coordinates count from the viewport's right or bottom edge, so rows go on the
        // viewport whatever size the style gives its frame.
        const QSize size = list.viewport()->size();
        if (point.x() == -1)
            point.setX(size.width() - 1);
        if (scrolledTo == 100)
            point.setY(size.height() - 2);  // the last row is at the top
        QCOMPARE(list.ItemAtPoint(point.x(), point.y()), expected);
    }

    void ItemHeightSetsTheRowPitch_data()
    {
        QTest::addColumn<int>("height");
        QTest::newRow("13") << 13;
        QTest::newRow("30") << 30;
    }
    void ItemHeightSetsTheRowPitch()
    {
        QFETCH(int, height);
        TListBox& list = *lists_->left;
        TwoLists::Fill(list, {"a", "b", "c"});
        list.SetItemHeight(height);
        QCOMPARE(list.ItemHeight(), height);
        QCOMPARE(list.visualItemRect(list.item(2)).top() - list.visualItemRect(list.item(1)).top(), height);
        QCOMPARE(list.ItemAtPoint(5, height * 2 + 1), 2);
    }

private:
    std::unique_ptr<TwoLists> lists_;
};

QTEST_MAIN(ListBoxModelTest)
#include "listbox_model_test.moc"
