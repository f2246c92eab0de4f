// SPDX-License-Identifier: GPL-2.0-or-later
// Moving items by dragging: drop orders, partners, acceptance, threshold and cancelling.
#include <QSignalSpy>
#include <QCursor>
#include <QDialog>
#include <QPushButton>
#include <QGuiApplication>
#include <QScrollBar>

#include "ListBoxTestKit.h"
#include "ListDragOperation.h"

class ListBoxDragTest : public QObject {
    Q_OBJECT

private slots:
    void init() { lists_ = std::make_unique<TwoLists>(); }
    void cleanup() { lists_.reset(); }

    void DropsWithinOneListLandByDirection_data()
    {
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("onto");  // -1: the empty area below the last item
        QTest::addColumn<int>("lastMove");  // the row the last move before the release saw
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("A onto C: downwards lands after") << 0 << 2 << 2 << QStringList {"B", "C", "A", "D"};
        QTest::newRow("D onto B: upwards lands before") << 3 << 1 << 1 << QStringList {"A", "D", "B", "C"};
        QTest::newRow("B onto itself stays") << 1 << 1 << 1 << QStringList {"A", "B", "C", "D"};
        QTest::newRow("B below the last item") << 1 << -1 << -1 << QStringList {"A", "C", "D", "B"};
        QTest::newRow("A onto the last item") << 0 << 3 << 3 << QStringList {"B", "C", "D", "A"};
        QTest::newRow("C onto A") << 2 << 0 << 0 << QStringList {"C", "A", "B", "D"};
        // The release point decides, wherever the last move was seen.
        QTest::newRow("A moved over B, released on D") << 0 << 3 << 1 << QStringList {"B", "C", "D", "A"};
        QTest::newRow("D moved over A, released on C") << 3 << 2 << 0 << QStringList {"A", "B", "D", "C"};
    }
    void DropsWithinOneListLandByDirection()
    {
        QFETCH(int, from);
        QFETCH(int, onto);
        QFETCH(int, lastMove);
        QFETCH(QStringList, expected);
        TwoLists::Fill(left(), {"A", "B", "C", "D"});
        QSignalSpy moved(&left(), &TListBox::ItemMoved);
        left().SetDragDropListBox(&left());
        ChangeLog log;
        log.Attach(left());
        QList<QStringList> seenByDrop;  // the order OnDragDrop finds, once per drop
        left().SetOnDragDrop([&](TListBox* sender, TListBox* source, QPoint) {
            QCOMPARE(sender, &left());
            QCOMPARE(source, &left());
            seenByDrop << TwoLists::Texts(*sender);
        });

        // Sideways as well, so that a release on the pressed item itself passes the threshold.
        const QPoint release = TwoLists::At(left(), onto, QPoint(30, 0));
        pointer_.Press(TwoLists::At(left(), from));
        pointer_.Move(TwoLists::At(left(), lastMove, QPoint(30, 0)));
        pointer_.Release(release);

        QCOMPARE(TwoLists::Texts(left()), expected);
        // The item has moved before the listener hears of the drop.
        QCOMPARE(seenByDrop, QList<QStringList>{expected});
        // Press on a new item, then the drop: never more than two.
        QCOMPARE(log.senders.size(), size_t(2));
        QCOMPARE(log.CountFor(&left()), 2);
        QCOMPARE(left().ItemIndex(), -1);  // the drop selects nothing
        // Where the item went, for an owner that records moves; a drop in place moved nothing.
        const int landed = int(expected.indexOf(QString(QChar(u'A' + from))));
        QList<QVariantList> wantMoved;
        if (from != onto)
            wantMoved << QVariantList {QVariant::fromValue(&left()), from, landed};
        QCOMPARE(QList<QVariantList>(moved.begin(), moved.end()), wantMoved);
        QVERIFY(ListDragOperation::Current() == nullptr);
    }

    // Alt with the arrows, Home and End moves the selected item as a drag to that place would.
    void KeysMoveTheSelectedItemLikeADrop_data()
    {
        QTest::addColumn<int>("selected");
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("pairing");  // "own", "partner, internal refused", "none"
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<int>("expectedIndex");
        QTest::addColumn<int>("changes");
        const QString own = "own";
        QTest::newRow("Alt+Up") << 2 << int(Qt::Key_Up) << own << QStringList {"A", "C", "B", "D"} << 1 << 1;
        QTest::newRow("Alt+Down") << 1 << int(Qt::Key_Down) << own << QStringList {"A", "C", "B", "D"} << 2 << 1;
        QTest::newRow("Alt+Home") << 2 << int(Qt::Key_Home) << own << QStringList {"C", "A", "B", "D"} << 0 << 1;
        QTest::newRow("Alt+End") << 0 << int(Qt::Key_End) << own << QStringList {"B", "C", "D", "A"} << 3 << 1;
        QTest::newRow("Alt+Up on the first item") << 0 << int(Qt::Key_Up) << own << QStringList {"A", "B", "C", "D"}
                                                  << 0 << 0;
        QTest::newRow("Alt+Down on the last item")
            << 3 << int(Qt::Key_Down) << own << QStringList {"A", "B", "C", "D"} << 3 << 0;
        QTest::newRow("Alt+End on the last item")
            << 3 << int(Qt::Key_End) << own << QStringList {"A", "B", "C", "D"} << 3 << 0;
        QTest::newRow("nothing selected") << -1 << int(Qt::Key_Down) << own << QStringList {"A", "B", "C", "D"} << -1
                                          << 0;
        // Where no drag could reorder the list, Alt+Down moves the selection as Down does.
        QTest::newRow("partner, internal refused")
            << 1 << int(Qt::Key_Down) << "partner, internal refused" << QStringList {"A", "B", "C", "D"} << 2 << 1;
        QTest::newRow("unpaired") << 1 << int(Qt::Key_Down) << "none" << QStringList {"A", "B", "C", "D"} << 2 << 1;
    }
    void KeysMoveTheSelectedItemLikeADrop()
    {
        QFETCH(int, selected);
        QFETCH(int, key);
        QFETCH(QString, pairing);
        QFETCH(QStringList, expected);
        QFETCH(int, expectedIndex);
        QFETCH(int, changes);
        QObject objects[4];
        for (int i = 0; i < 4; ++i)
            left().AddItem(QString(QChar('A' + i)), &objects[i]);
        if (pairing == "own") {
            left().SetDragDropListBox(&left());
        } else if (pairing != "none") {
            left().SetDragDropListBox(&right());
            left().SetAllowInternalDrag(false);
        }
        left().SetItemIndex(selected);
        ChangeLog log;
        log.Attach(left());
        int clicks = 0;
        left().SetOnClick([&](TListBox*) { ++clicks; });
        QList<int> keysSeen;
        left().SetOnKeyDown([&](TListBox*, QKeyEvent* event) {
            if (event->key() != Qt::Key_Alt)  // pressed on its own first
                keysSeen << event->key();
        });

        QTest::keyClick(&left(), Qt::Key(key), Qt::AltModifier);

        QCOMPARE(TwoLists::Texts(left()), expected);
        QCOMPARE(left().ItemIndex(), expectedIndex);
        QCOMPARE(int(log.senders.size()), changes);
        QCOMPARE(clicks, pairing == "own" ? 0 : changes);  // a move is no new selection
        QCOMPARE(keysSeen, QList<int> {key});
        for (int i = 0; i < 4; ++i)
            QCOMPARE(TListBox::ObjectOf(left().item(i)), &objects[expected[i].at(0).unicode() - 'A']);
    }

    void DropsBetweenPartnersInsertBeforeOrAppend_data()
    {
        QTest::addColumn<int>("onto");
        QTest::addColumn<QStringList>("expectedLeft");
        QTest::addColumn<QStringList>("expectedRight");
        QTest::newRow("onto first") << 0 << QStringList {"A", "C"} << QStringList {"B", "X", "Y"};
        QTest::newRow("onto last") << 1 << QStringList {"A", "C"} << QStringList {"X", "B", "Y"};
        QTest::newRow("below last") << -1 << QStringList {"A", "C"} << QStringList {"X", "Y", "B"};
    }
    void DropsBetweenPartnersInsertBeforeOrAppend()
    {
        QFETCH(int, onto);
        QFETCH(QStringList, expectedLeft);
        QFETCH(QStringList, expectedRight);
        QObject objectOfB;
        left().AddItem("A");
        left().AddItem("B", &objectOfB);
        left().AddItem("C");
        TwoLists::Fill(right(), {"X", "Y"});
        right().SetItemIndex(1);  // Y stays selected through the insertion
        left().SetDragDropListBox(&right());
        ChangeLog log;
        log.Attach(left());
        log.Attach(right());

        pointer_.Drag(TwoLists::At(left(), 1), TwoLists::At(right(), onto), 8);

        QCOMPARE(TwoLists::Texts(left()), expectedLeft);
        QCOMPARE(TwoLists::Texts(right()), expectedRight);
        const int movedRow = expectedRight.indexOf("B");
        QCOMPARE(TListBox::ObjectOf(right().item(movedRow)), &objectOfB);
        QCOMPARE(right().ActiveString(), QString("Y"));
        QCOMPARE(left().ItemIndex(), -1);
        // The press changed the left selection; the drop notifies the receiving list only.
        QCOMPARE(log.senders, (std::vector<TListBox*> {&left(), &right()}));
    }

    void AcceptanceFollowsPairing_data()
    {
        QTest::addColumn<bool>("selfPartner");
        QTest::addColumn<bool>("leftAllowsInternal");
        QTest::addColumn<bool>("listenerAccepts");
        QTest::addColumn<bool>("ownItemMoves");
        QTest::newRow("partners, internal allowed") << false << true << false << true;
        QTest::newRow("partners, internal refused") << false << false << true << false;
        QTest::newRow("own partner, internal refused") << true << false << false << true;
    }
    void AcceptanceFollowsPairing()
    {
        QFETCH(bool, selfPartner);
        QFETCH(bool, leftAllowsInternal);
        QFETCH(bool, listenerAccepts);
        QFETCH(bool, ownItemMoves);
        TwoLists::Fill(left(), {"A", "B", "C"});
        TwoLists::Fill(right(), {"X"});
        left().SetDragDropListBox(selfPartner ? &left() : &right());
        left().SetAllowInternalDrag(leftAllowsInternal);
        int listenerCalls = 0;
        // With a partner set, the pairing overrides whatever the listener answers.
        left().SetOnDragOver([&](TListBox*, TListBox*, QPoint, bool& accept) {
            ++listenerCalls;
            accept = listenerAccepts;
        });

        pointer_.Drag(TwoLists::At(left(), 0), TwoLists::At(left(), 2));
        QCOMPARE(TwoLists::Texts(left()), ownItemMoves ? QStringList({"B", "C", "A"}) : QStringList({"A", "B", "C"}));
        QVERIFY(listenerCalls > 0);

        if (selfPartner)
            return;
        // The partner's items are accepted whatever the internal rule says.
        pointer_.Drag(TwoLists::At(right(), 0), TwoLists::At(left(), 0));
        QCOMPARE(TwoLists::Texts(left()).first(), QString("X"));
        QCOMPARE(right().count(), 0);
    }

    void WithoutPartnerTheDragOverListenerDecides_data()
    {
        QTest::addColumn<bool>("listenerAttached");
        QTest::addColumn<bool>("listenerAccepts");
        QTest::addColumn<bool>("moved");
        QTest::newRow("no listener refuses") << false << false << false;
        QTest::newRow("listener leaves accept") << true << true << true;
        QTest::newRow("listener refuses") << true << false << false;
    }
    void WithoutPartnerTheDragOverListenerDecides()
    {
        QFETCH(bool, listenerAttached);
        QFETCH(bool, listenerAccepts);
        QFETCH(bool, moved);
        TwoLists::Fill(left(), {"A"});
        left().SetDragMode(TListBox::dmAutomatic);  // a drag source without a partner
        if (listenerAttached) {
            right().SetOnDragOver([&](TListBox* sender, TListBox* source, QPoint pos, bool& accept) {
                QVERIFY(accept);  // arrives true
                QCOMPARE(sender, &right());
                QCOMPARE(source, &left());
                QVERIFY(sender->viewport()->rect().contains(pos));
                accept = listenerAccepts;
            });
        }
        pointer_.Drag(TwoLists::At(left(), 0), TwoLists::At(right(), -1));
        QCOMPARE(right().count(), moved ? 1 : 0);
        QCOMPARE(left().count(), moved ? 0 : 1);
    }

    void ThresholdSeparatesClickFromDrag_data()
    {
        QTest::addColumn<QPoint>("offset");
        QTest::addColumn<bool>("moved");
        QTest::newRow("4 down") << QPoint(0, 4) << false;
        QTest::newRow("4 right 4 down") << QPoint(4, 4) << false;
        QTest::newRow("4 up") << QPoint(0, -4) << false;
        QTest::newRow("5 down") << QPoint(0, 5) << true;
        QTest::newRow("5 left") << QPoint(-5, 0) << true;
    }
    void ThresholdSeparatesClickFromDrag()
    {
        QFETCH(QPoint, offset);
        QFETCH(bool, moved);
        // A tall item so that the whole movement stays on item A.
        left().SetItemHeight(40);
        TwoLists::Fill(left(), {"A", "B"});
        left().SetDragDropListBox(&left());
        const QPoint start = TwoLists::At(left(), 0);
        QPoint end;
        pointer_.Press(start);
        // A long way out first: what counts is the release position's target, not the path.
        for (int step = 1; step <= 4; ++step)
            pointer_.Move(start + offset * step / 4);
        QCOMPARE(ListDragOperation::Current() != nullptr, true);
        QCOMPARE(ListDragOperation::Current()->IsActive(), moved);
        // Finish below the last item so that an active drag would move A to the end.
        end = moved ? TwoLists::At(left(), -1) : start + offset;
        if (moved)
            pointer_.Move(end);
        pointer_.Release(end);
        QCOMPARE(TwoLists::Texts(left()), moved ? QStringList({"B", "A"}) : QStringList({"A", "B"}));
        QCOMPARE(left().ActiveString(), moved ? QString() : QString("A"));
    }

    void CancelledOrRefusedDragsChangeNothing_data()
    {
        QTest::addColumn<QString>("ending");
        QTest::newRow("escape") << "escape";
        QTest::newRow("other button") << "right press";
        QTest::newRow("release over no list") << "gap";
        QTest::newRow("release over refusing list") << "unpaired list";
        QTest::newRow("release over scroll bar") << "scroll bar";
    }
    void CancelledOrRefusedDragsChangeNothing()
    {
        QFETCH(QString, ending);
        for (int i = 0; i < 40; ++i)
            left().AddItem(QString::number(i));  // enough to scroll
        TwoLists::Fill(right(), {"X"});
        left().SetDragDropListBox(&left());
        ChangeLog log;
        log.Attach(left());
        log.Attach(right());
        const QStringList before = TwoLists::Texts(left());
        const QPoint start = TwoLists::At(left(), 1);
        const QPoint over = TwoLists::At(left(), 4);

        pointer_.Press(start);
        pointer_.Move(over);
        QVERIFY(QGuiApplication::overrideCursor() != nullptr);
        QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::DragMoveCursor);
        QPoint end = over;
        if (ending == "escape") {
            QTest::keyClick(&left(), Qt::Key_Escape);
        } else if (ending == "right press") {
            pointer_.Press(over, Qt::RightButton);
            pointer_.Release(over, Qt::RightButton);
        } else if (ending == "gap") {
            end = lists_->GapPoint();
        } else if (ending == "unpaired list") {
            end = TwoLists::At(right(), 0);
        } else {
            QWidget* bar = left().verticalScrollBar();
            QVERIFY(bar->isVisible());
            end = bar->mapToGlobal(bar->rect().center());
        }
        if (end != over) {
            pointer_.Move(end);
            QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::ForbiddenCursor);
        }
        pointer_.Release(end);

        QCOMPARE(TwoLists::Texts(left()), before);
        QCOMPARE(TwoLists::Texts(right()), QStringList {"X"});
        QVERIFY(QGuiApplication::overrideCursor() == nullptr);
        QVERIFY(ListDragOperation::Current() == nullptr);
        QCOMPARE(log.senders, std::vector<TListBox*> {&left()});  // the press only
        QCOMPARE(left().ActiveString(), QString("1"));
    }

    void KeysDuringADrag_data()
    {
        QTest::addColumn<bool>("releaseLost");
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<int>("selected");
        // Held: the key is the drag's, so the pressed item is the one that moves.
        QTest::newRow("button held: Down is consumed") << false << QStringList {"B", "C", "A", "D"} << -1;
        // Released unseen: the key ends the drag and reaches the list, which moves its selection.
        QTest::newRow("release lost: Down reaches the list") << true << QStringList {"A", "B", "C", "D"} << 1;
    }
    void KeysDuringADrag()
    {
        QFETCH(bool, releaseLost);
        QFETCH(QStringList, expected);
        QFETCH(int, selected);
        TwoLists::Fill(left(), {"A", "B", "C", "D"});
        left().SetDragDropListBox(&left());
        pointer_.Press(TwoLists::At(left(), 0));
        pointer_.Move(TwoLists::At(left(), 2));
        QVERIFY(ListDragOperation::Current() && ListDragOperation::Current()->IsActive());
        if (releaseLost)
            pointer_.LoseRelease();
        QTest::keyClick(&left(), Qt::Key_Down);
        QCOMPARE(ListDragOperation::Current() == nullptr, releaseLost);
        QCOMPARE(QGuiApplication::overrideCursor() == nullptr, releaseLost);
        pointer_.Release(TwoLists::At(left(), 2));
        QCOMPARE(TwoLists::Texts(left()), expected);
        QCOMPARE(left().ItemIndex(), selected);
        QVERIFY(ListDragOperation::Current() == nullptr);
    }

    void DragFromEmptyAreaCarriesNothing()
    {
        TwoLists::Fill(left(), {"A", "B", "C"});
        left().SetDragDropListBox(&left());
        left().SetItemIndex(0);
        bool dropped = false;
        left().SetOnDragDrop([&](TListBox*, TListBox*, QPoint) { dropped = true; });
        pointer_.Press(TwoLists::At(left(), -1));
        pointer_.Move(TwoLists::At(left(), 1));
        QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::ForbiddenCursor);
        pointer_.Release(TwoLists::At(left(), 1));
        QCOMPARE(TwoLists::Texts(left()), QStringList({"A", "B", "C"}));
        QVERIFY(!dropped);
    }

    void DropWithNothingSelectedInsertsNothing()
    {
        TwoLists::Fill(left(), {"A", "B"});
        left().SetDragDropListBox(&right());
        ChangeLog log;
        log.Attach(right());
        // Deselect the pressed item on the way: the drag runs, the source has no selected item.
        left().SetOnClick([](TListBox* sender) { sender->SetItemIndex(-1); });
        pointer_.Drag(TwoLists::At(left(), 0), TwoLists::At(right(), -1));
        QCOMPARE(TwoLists::Texts(left()), QStringList({"A", "B"}));
        QCOMPARE(right().count(), 0);
        QCOMPARE(log.CountFor(&right()), 1);  // the drop happened, nothing travelled
    }

    void ModalDialogOpenedByAListenerEndsTheDrag()
    {
        TwoLists::Fill(left(), {"A", "B"});
        left().SetDragDropListBox(&left());
        QDialog dialog(lists_->window.get());
        dialog.setModal(true);
        auto* ok = new QPushButton("OK", &dialog);
        ok->setGeometry(10, 10, 80, 30);
        dialog.resize(100, 50);
        bool okClicked = false;
        connect(ok, &QPushButton::clicked, [&] { okClicked = true; });
        // As a preview that fails would report its error, in the middle of the press.
        left().SetOnClick([&](TListBox*) {
            dialog.move(lists_->window->geometry().topRight() + QPoint(50, 0));
            dialog.show();
        });
        pointer_.Press(TwoLists::At(left(), 1));
        QVERIFY(QApplication::activeModalWidget() == &dialog);
        // The window system kept the release from the blocked window: the next thing the user does
        // is click OK, once.
        const QPoint onOk = ok->mapToGlobal(ok->rect().center());
        pointer_.Press(onOk);
        pointer_.Release(onOk);
        QVERIFY(okClicked);
        QVERIFY(ListDragOperation::Current() == nullptr);
        QVERIFY(QGuiApplication::overrideCursor() == nullptr);
        QCOMPARE(TwoLists::Texts(left()), QStringList({"A", "B"}));
    }

    // A Wayland compositor never says where a window is, so the program's idea of its window's place
    // may lie on no screen at all; positions within the window stay exact, and they are enough.
    void DropWithinTheWindowIsFoundWhereverTheWindowIsThoughtToBe()
    {
        TwoLists::Fill(left(), {"A", "B"});
        left().SetDragDropListBox(&right());
        lists_->window->move(-20000, -20000);
        const QPoint from = TwoLists::At(left(), 0);
        const QPoint onto = TwoLists::At(right(), -1);
        QVERIFY(QGuiApplication::screenAt(from) == nullptr);
        // While the button is held the compositor sends every event to the surface pressed.
        QWidget* pressed = left().viewport();
        const auto send = [&](QEvent::Type type, QPoint global, Qt::MouseButton button, Qt::MouseButtons held) {
            QMouseEvent event(type, pressed->mapFromGlobal(QPointF(global)),
                              pressed->window()->mapFromGlobal(QPointF(global)), QPointF(global), button, held,
                              Qt::NoModifier, QPointingDevice::primaryPointingDevice());
            QApplication::sendEvent(pressed, &event);
        };
        send(QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
        for (int step = 1; step <= 4; ++step)
            send(QEvent::MouseMove, from + (onto - from) * step / 4, Qt::NoButton, Qt::LeftButton);
        send(QEvent::MouseButtonRelease, onto, Qt::LeftButton, Qt::NoButton);
        QCOMPARE(TwoLists::Texts(left()), QStringList({"B"}));
        QCOMPARE(TwoLists::Texts(right()), QStringList({"A"}));
    }

    void DestroyedObjectReadsAsNull()
    {
        auto object = std::make_unique<QObject>();
        left().AddItem("A", object.get());
        left().SetItemIndex(0);
        QCOMPARE(left().ActiveObject(), object.get());
        object.reset();
        QCOMPARE(left().ActiveObject(), nullptr);
    }

    void SourceDestroyedDuringDragEndsIt()
    {
        TwoLists::Fill(right(), {"X"});
        right().SetDragDropListBox(&left());
        pointer_.Press(TwoLists::At(right(), 0));
        pointer_.Move(TwoLists::At(left(), -1));
        QVERIFY(ListDragOperation::Current() != nullptr);
        delete lists_->right;
        QVERIFY(ListDragOperation::Current() == nullptr);
        QVERIFY(QGuiApplication::overrideCursor() == nullptr);
        pointer_.Release(TwoLists::At(left(), -1));
        QCOMPARE(left().count(), 0);
    }

private:
    TListBox& left() { return *lists_->left; }
    TListBox& right() { return *lists_->right; }

    std::unique_ptr<TwoLists> lists_;
    Pointer pointer_;
};

QTEST_MAIN(ListBoxDragTest)
#include "listbox_drag_test.moc"
