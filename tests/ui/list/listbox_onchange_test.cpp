// SPDX-License-Identifier: GPL-2.0-or-later
// When the list raises OnChange and OnClick: presses, keys, moves, type-ahead and assignments.
#include "ListBoxTestKit.h"
#include "ListDragOperation.h"

namespace {

enum class Mode { Manual, Automatic };

}  // namespace

Q_DECLARE_METATYPE(Mode)

class ListBoxOnChangeTest : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        lists_ = std::make_unique<TwoLists>();
        TwoLists::Fill(list(), {"apple", "Banana", "blueberry", "cherry", "Blue"});
        log_ = ChangeLog();
        log_.Attach(list());
        clicks_ = 0;
        list().SetOnClick([this](TListBox* sender) {
            QCOMPARE(sender, &list());
            ++clicks_;
        });
    }
    void cleanup() { lists_.reset(); }

    void PressesRaiseOnlyWhenTheSelectionChanges_data()
    {
        QTest::addColumn<Mode>("mode");
        QTest::addColumn<int>("selected");
        QTest::addColumn<int>("pressed");  // -1: below the last item
        QTest::addColumn<int>("expectedIndex");
        QTest::addColumn<int>("changes");
        QTest::addColumn<Qt::MouseButton>("button");
        for (Mode mode : {Mode::Manual, Mode::Automatic}) {
            const char* name = mode == Mode::Manual ? "manual" : "automatic";
            QTest::addRow("%s: other item", name) << mode << 0 << 2 << 2 << 1 << Qt::LeftButton;
            QTest::addRow("%s: first selection", name) << mode << -1 << 1 << 1 << 1 << Qt::LeftButton;
            QTest::addRow("%s: selected item", name) << mode << 3 << 3 << 3 << 0 << Qt::LeftButton;
            QTest::addRow("%s: below the items", name) << mode << 1 << -1 << 1 << 0 << Qt::LeftButton;
            QTest::addRow("%s: right, other item", name) << mode << 0 << 2 << 2 << 1 << Qt::RightButton;
            QTest::addRow("%s: right, below", name) << mode << 1 << -1 << 1 << 0 << Qt::RightButton;
        }
    }
    void PressesRaiseOnlyWhenTheSelectionChanges()
    {
        QFETCH(Mode, mode);
        QFETCH(int, selected);
        QFETCH(int, pressed);
        QFETCH(int, expectedIndex);
        QFETCH(int, changes);
        QFETCH(Qt::MouseButton, button);
        const bool left = button == Qt::LeftButton;
        if (mode == Mode::Automatic)
            list().SetDragDropListBox(&list());
        Assign(selected);
        bool downDuringChange = true;
        list().SetOnChange([&](TListBox* sender) {
            log_.senders.push_back(sender);
            downDuringChange = sender->LeftButtonDown();
        });

        pointer_.Press(TwoLists::At(list(), pressed), button);
        QCOMPARE(list().ItemIndex(), expectedIndex);
        QCOMPARE(int(log_.senders.size()), changes);
        QCOMPARE(clicks_, changes);
        // Arming the drag ends the press before the press handling raises OnChange.
        QCOMPARE(list().LeftButtonDown(), left && mode == Mode::Manual);
        if (changes > 0)
            QCOMPARE(downDuringChange, left && mode == Mode::Manual);
        QCOMPARE(ListDragOperation::Current() != nullptr, left && mode == Mode::Automatic);

        pointer_.Release(TwoLists::At(list(), pressed), button);
        QVERIFY(ListDragOperation::Current() == nullptr);
        QCOMPARE(list().LeftButtonDown(), false);
        QCOMPARE(list().ItemIndex(), expectedIndex);
        QCOMPARE(int(log_.senders.size()), changes);  // releases never raise it
    }

    void KeysRaiseOnlyWhenTheSelectionMoves_data()
    {
        QTest::addColumn<int>("selected");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("expectedIndex");
        QTest::addColumn<int>("changes");
        QTest::newRow("down") << 0 << int(Qt::Key_Down) << 1 << 1;
        QTest::newRow("up on the first item") << 0 << int(Qt::Key_Up) << 0 << 0;
        QTest::newRow("down on the last item") << 4 << int(Qt::Key_Down) << 4 << 0;
        QTest::newRow("end") << 1 << int(Qt::Key_End) << 4 << 1;
        QTest::newRow("home on the first item") << 0 << int(Qt::Key_Home) << 0 << 0;
        QTest::newRow("a key the list ignores") << 2 << int(Qt::Key_F5) << 2 << 0;
    }
    void KeysRaiseOnlyWhenTheSelectionMoves()
    {
        QFETCH(int, selected);
        QFETCH(int, key);
        QFETCH(int, expectedIndex);
        QFETCH(int, changes);
        Assign(selected);
        QList<int> keysSeen;
        list().SetOnKeyDown([&](TListBox*, QKeyEvent* event) { keysSeen << event->key(); });
        QTest::keyClick(&list(), Qt::Key(key));
        QCOMPARE(list().ItemIndex(), expectedIndex);
        QCOMPARE(int(log_.senders.size()), changes);
        QCOMPARE(clicks_, changes);
        QCOMPARE(keysSeen, QList<int> {key});
    }

    void KeyDownListenerCanKeepAKeyFromTheList()
    {
        Assign(0);
        list().SetOnKeyDown([](TListBox*, QKeyEvent* event) { event->ignore(); });
        QTest::keyClick(&list(), Qt::Key_Down);
        QCOMPARE(list().ItemIndex(), 0);
        QCOMPARE(int(log_.senders.size()), 0);
    }

    void TypeAheadSelectsFirstMatchIgnoringCase_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("expectedIndex");
        QTest::addColumn<int>("clicks");  // keys that moved the selection
        QTest::newRow("one letter") << "b" << 1 << 1;
        QTest::newRow("extends the search") << "bl" << 2 << 2;
        QTest::newRow("ignores case, first match wins") << "BLUE" << 2 << 2;
        QTest::newRow("no match keeps the selection") << "bx" << 1 << 1;
        QTest::newRow("no match at all") << "z" << 0 << 0;
    }
    void TypeAheadSelectsFirstMatchIgnoringCase()
    {
        QFETCH(QString, typed);
        QFETCH(int, expectedIndex);
        QFETCH(int, clicks);
        Assign(0);
        QTest::keyClicks(&list(), typed);
        QCOMPARE(list().ItemIndex(), expectedIndex);
        QCOMPARE(clicks_, clicks);
    }

    void TypeAheadRaisesThroughTheAssignment()
    {
        // The assignment raises OnChange, then the key handling sees the selection moved.
        QTest::keyClicks(&list(), "c");
        QCOMPARE(list().ItemIndex(), 3);
        QCOMPARE(int(log_.senders.size()), 2);
        QCOMPARE(clicks_, 1);
        // A key that finds the item already selected still assigns it, but changes nothing more.
        QTest::qWait(550);
        QTest::keyClicks(&list(), "c");
        QCOMPARE(int(log_.senders.size()), 3);
        QCOMPARE(clicks_, 1);
    }

    void TypeAheadStartsAfreshAfterAPause()
    {
        QTest::keyClicks(&list(), "b");
        QCOMPARE(list().ItemIndex(), 1);
        QTest::qWait(550);
        QTest::keyClicks(&list(), "c");  // "c", not "bc"
        QCOMPARE(list().ItemIndex(), 3);
    }

    void MovesWithoutTheButtonAreConsumed_data()
    {
        QTest::addColumn<Mode>("mode");
        QTest::newRow("manual") << Mode::Manual;
        QTest::newRow("automatic") << Mode::Automatic;
    }
    void MovesWithoutTheButtonAreConsumed()
    {
        QFETCH(Mode, mode);
        if (mode == Mode::Automatic)
            list().SetDragDropListBox(&list());
        Assign(0);
        int listenerCalls = 0;
        list().SetOnMouseMove([&](TListBox*, QMouseEvent*) { ++listenerCalls; });
        for (int row : {1, 2, 3, -1})
            pointer_.Move(TwoLists::At(list(), row));
        QCOMPARE(listenerCalls, 0);
        QCOMPARE(int(log_.senders.size()), 0);
        QCOMPARE(list().ItemIndex(), 0);
    }

    void ManualModeSelectionFollowsAHeldButton()
    {
        int listenerCalls = 0;
        list().SetOnMouseMove([&](TListBox*, QMouseEvent* event) {
            QVERIFY(event->buttons() & Qt::LeftButton);
            ++listenerCalls;
        });
        pointer_.Press(TwoLists::At(list(), 0));
        QCOMPARE(int(log_.senders.size()), 1);
        // Every move raises OnChange, also one that stays on the same item.
        pointer_.Move(TwoLists::At(list(), 1));
        pointer_.Move(TwoLists::At(list(), 2));
        pointer_.Move(TwoLists::At(list(), 2, QPoint(3, 0)));
        QCOMPARE(list().ItemIndex(), 2);
        QCOMPARE(listenerCalls, 3);
        QCOMPARE(int(log_.senders.size()), 4);
        QCOMPARE(clicks_, 3);  // press and two moves changed the selection
        pointer_.Release(TwoLists::At(list(), 2));
        QCOMPARE(int(log_.senders.size()), 4);
    }

    void ReleaseElsewhereEndsTheHeldButton()
    {
        pointer_.Press(TwoLists::At(list(), 0));
        pointer_.Release(lists_->GapPoint());  // delivered to the widget under the pointer
        QVERIFY(list().LeftButtonDown());
        pointer_.Move(TwoLists::At(list(), 2));  // no button held: consumed, and the press is over
        QVERIFY(!list().LeftButtonDown());
        QCOMPARE(list().ItemIndex(), 0);
        QCOMPARE(int(log_.senders.size()), 1);
    }

    void AssignmentsAlwaysRaise_data()
    {
        QTest::addColumn<int>("selected");
        QTest::addColumn<int>("assigned");
        QTest::addColumn<int>("expectedIndex");
        QTest::newRow("another item") << 0 << 2 << 2;
        QTest::newRow("the current item") << 1 << 1 << 1;
        QTest::newRow("none") << 1 << -1 << -1;
        QTest::newRow("none when none") << -1 << -1 << -1;
        QTest::newRow("past the end") << 1 << 5 << -1;
        QTest::newRow("below -1") << 1 << -7 << -1;
    }
    void AssignmentsAlwaysRaise()
    {
        QFETCH(int, selected);
        QFETCH(int, assigned);
        QFETCH(int, expectedIndex);
        Assign(selected);
        list().SetItemIndex(assigned);
        QCOMPARE(list().ItemIndex(), expectedIndex);
        QCOMPARE(log_.senders, std::vector<TListBox*> {&list()});
        QCOMPARE(clicks_, 0);  // program assignments are not user selections
        QCOMPARE(list().ActiveString(), expectedIndex < 0 ? QString() : list().item(expectedIndex)->text());
    }

    void WholeDragRaisesAtMostTwice_data()
    {
        QTest::addColumn<int>("selected");
        QTest::addColumn<int>("changes");
        QTest::newRow("press changes the selection") << 0 << 2;
        QTest::newRow("press on the selected item") << 1 << 1;
    }
    void WholeDragRaisesAtMostTwice()
    {
        QFETCH(int, selected);
        QFETCH(int, changes);
        list().SetDragDropListBox(&list());
        Assign(selected);
        int listenerCalls = 0;
        list().SetOnMouseMove([&](TListBox*, QMouseEvent*) { ++listenerCalls; });
        pointer_.Drag(TwoLists::At(list(), 1), TwoLists::At(list(), 3), 12);
        QCOMPARE(TwoLists::Texts(list()), QStringList({"apple", "blueberry", "cherry", "Banana", "Blue"}));
        QCOMPARE(log_.senders, std::vector<TListBox*>(changes, &list()));
        QCOMPARE(listenerCalls, 0);  // the drag took the moves
        QCOMPARE(clicks_, changes - 1);  // drops are not user selections
    }

private:
    TListBox& list() { return *lists_->left; }
    // Sets the selection without counting it.
    void Assign(int index)
    {
        list().SetItemIndex(index);
        log_.senders.clear();
    }

    std::unique_ptr<TwoLists> lists_;
    ChangeLog log_;
    int clicks_ = 0;
    Pointer pointer_;
};

QTEST_MAIN(ListBoxOnChangeTest)
#include "listbox_onchange_test.moc"
