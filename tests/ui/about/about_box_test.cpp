// SPDX-License-Identifier: GPL-2.0-or-later
// The about box on the offscreen platform: layout, hover effects, closing, and the link.
#include "About.h"
#include "BevelPanel.h"
#include "PictureBox.h"
#include "ShellOpener.h"

#include <QLabel>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QToolTip>

namespace {

class RecordingOpener : public ShellOpener {
public:
    void Open(const QString& target) override { opened << target; }
    QStringList opened;
};

// Points in the dialog's client coordinates.
const QPoint kOnImage3(150, 255);
const QPoint kOnNothing(5, 250);
const QPoint kOnComments(150, 83);
const QPoint kThroughFrameMiddle(150, 150);  // over Image1, under image4's transparent middle
const QPoint kOnFrameRimOnly(71, 158);       // on image4's rim, left of Image1

}  // namespace

class AboutBoxTest : public QObject {
    Q_OBJECT

private:
    std::shared_ptr<RecordingOpener> opener_;
    std::unique_ptr<TAboutBox> box_;

    QWindow* Window() { return box_->windowHandle(); }
    template <typename T>
    T* Control(const char* name) { return box_->findChild<T*>(QString::fromLatin1(name)); }
    void MoveTo(QPoint p) { QTest::mouseMove(Window(), p); }
    // Shows the dialog with the pointer resting on its background, as after the window system's enter.
    bool ShowWithPointer()
    {
        box_->show();
        if (!QTest::qWaitForWindowExposed(box_.get()))
            return false;
        MoveTo(kOnNothing);
        return true;
    }
    void ClickAt(QPoint p)
    {
        MoveTo(p);
        QTest::mouseClick(Window(), Qt::LeftButton, Qt::NoModifier, p);
    }

private slots:
    void init()
    {
        opener_ = std::make_shared<RecordingOpener>();
        box_ = std::make_unique<TAboutBox>(nullptr, opener_);
    }
    void cleanup() { box_.reset(); }

    void layoutPlacesEveryControl_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("parentName");
        QTest::addColumn<QRect>("geometry");
        QTest::newRow("image3") << "image3" << "AboutBox" << QRect(128, 233, 48, 48);
        QTest::newRow("Panel1") << "Panel1" << "AboutBox" << QRect(9, 8, 281, 218);
        QTest::newRow("Comments") << "Comments" << "Panel1" << QRect(3, 69, 273, 13);
        QTest::newRow("Image1") << "Image1" << "Panel1" << QRect(71, 95, 145, 105);
        QTest::newRow("sLabelFX1") << "sLabelFX1" << "Panel1" << QRect(3, 0, 273, 32);
        QTest::newRow("sLabel1") << "sLabel1" << "Panel1" << QRect(3, 53, 273, 13);
        QTest::newRow("image4") << "image4" << "Panel1" << QRect(59, 83, 168, 128);
    }
    void layoutPlacesEveryControl()
    {
        QFETCH(QString, name);
        QFETCH(QString, parentName);
        QFETCH(QRect, geometry);
        auto* control = box_->findChild<QWidget*>(name);
        QVERIFY(control);
        QCOMPARE(control->parentWidget()->objectName(), parentName);
        QCOMPARE(control->geometry(), geometry);
    }

    void dialogIsFixedWithItsCaptionsAndStacking()
    {
        QCOMPARE(box_->windowTitle(), QStringLiteral("Leafbind 1.0"));
        QCOMPARE(box_->size(), QSize(298, 287));
        QCOMPARE(box_->minimumSize(), box_->maximumSize());
        QVERIFY(box_->isHidden());
        QCOMPARE(Control<QLabel>("sLabelFX1")->text(), QStringLiteral("Leafbind 1.0"));
        QCOMPARE(Control<QLabel>("sLabel1")->text(), QStringLiteral("Export JPG images to PDF file"));
        QVERIFY(Control<QLabel>("sLabelFX1")->font().bold());
        QCOMPARE(Control<QLabel>("sLabelFX1")->font().pixelSize(), 19);
        QVERIFY(Control<QLabel>("sLabelFX1")->graphicsEffect());  // the text shadow
        QVERIFY(Control<BevelPanel>("Panel1"));

        // Later siblings lie over earlier ones: the frame over the picture, the panel over image3.
        const QObjectList panelChildren = Control<QWidget>("Panel1")->children();
        QVERIFY(panelChildren.indexOf(Control<QWidget>("image4")) > panelChildren.indexOf(Control<QWidget>("Image1")));
        QVERIFY(box_->children().indexOf(Control<QWidget>("Panel1")) > box_->children().indexOf(Control<QWidget>("image3")));

        // The label shows the address without its scheme; both hints carry it whole.
        const QString shown = Control<QLabel>("Comments")->text();
        const QString target = Control<QLabel>("Comments")->toolTip();
        QVERIFY(!shown.contains(QStringLiteral("://")));
        QCOMPARE(target.section(QStringLiteral("://"), 1), shown);
        QCOMPARE(Control<PictureBox>("Image1")->toolTip(), target);
        QVERIFY(!Control<PictureBox>("Image1")->Picture().isNull());
        QVERIFY(!Control<PictureBox>("image3")->Picture().isNull());
        QVERIFY(!Control<PictureBox>("image4")->Picture().isNull());
    }

    void image3ShiftsOnHoverAndReturns()
    {
        QVERIFY(ShowWithPointer());
        auto* image3 = Control<QWidget>("image3");
        for (int round = 0; round < 3; ++round) {
            MoveTo(kOnImage3);
            QCOMPARE(image3->pos(), QPoint(130, 235));
            QCOMPARE(image3->cursor().shape(), Qt::PointingHandCursor);
            MoveTo(kOnImage3 + QPoint(1, 1));  // moving within does not shift it again
            QCOMPARE(image3->pos(), QPoint(130, 235));
            MoveTo(kOnNothing);
            QCOMPARE(image3->pos(), QPoint(128, 233));
            QCOMPARE(image3->cursor().shape(), Qt::ArrowCursor);
        }
    }

    void linkLabelTurnsBlueOnMoveAndBlackOnLeave()
    {
        auto* comments = Control<QLabel>("Comments");
        // Black on leave even when the dialog's text colour is something else.
        QPalette palette = box_->palette();
        palette.setColor(QPalette::WindowText, QColor(90, 90, 90));
        box_->setPalette(palette);
        QVERIFY(ShowWithPointer());

        MoveTo(kOnComments);
        QCOMPARE(comments->palette().color(QPalette::WindowText), QColor(0, 0, 255));
        QCOMPARE(comments->cursor().shape(), Qt::PointingHandCursor);
        MoveTo(kOnNothing);
        QCOMPARE(comments->palette().color(QPalette::WindowText), QColor(0, 0, 0));
        QCOMPARE(comments->cursor().shape(), Qt::ArrowCursor);

        // The colour is set again on every move, not only on arrival.
        MoveTo(kOnComments);
        box_->CommentsMouseLeave(comments);
        MoveTo(kOnComments + QPoint(3, 0));
        QCOMPARE(comments->palette().color(QPalette::WindowText), QColor(0, 0, 255));
    }

    void pictureShowsHandThroughTheFrame()
    {
        QVERIFY(ShowWithPointer());
        auto* picture = Control<QWidget>("Image1");
        QCOMPARE(box_->childAt(kThroughFrameMiddle), picture);
        MoveTo(kThroughFrameMiddle);
        QCOMPARE(picture->cursor().shape(), Qt::PointingHandCursor);
        MoveTo(kOnFrameRimOnly);
        QCOMPARE(picture->cursor().shape(), Qt::ArrowCursor);
    }

    void clicksHandTheExactHintToTheShell_data()
    {
        QTest::addColumn<QPoint>("point");
        QTest::addColumn<int>("opens");
        QTest::newRow("link label") << kOnComments << 1;
        QTest::newRow("picture through the frame") << kThroughFrameMiddle << 1;
        QTest::newRow("frame rim beside the picture") << kOnFrameRimOnly << 0;
        QTest::newRow("panel background") << QPoint(150, 40) << 0;
        QTest::newRow("dialog background") << kOnNothing << 0;
    }
    void clicksHandTheExactHintToTheShell()
    {
        QFETCH(QPoint, point);
        QFETCH(int, opens);
        QVERIFY(ShowWithPointer());
        ClickAt(point);
        QCOMPARE(opener_->opened.size(), opens);
        for (const QString& target : opener_->opened)
            QCOMPARE(target, QString::fromLatin1(kMakerAddress));
        QVERIFY(box_->isVisible());  // the dialog stays open after opening the link
    }

    void linkHandlersIgnoreSendersOfTheWrongKind()
    {
        box_->CommentsClick(Control<PictureBox>("Image1"));
        box_->Image1Click(Control<QLabel>("Comments"));
        box_->CommentsClick(nullptr);
        QVERIFY(opener_->opened.isEmpty());
        box_->Image1Click(Control<PictureBox>("Image1"));
        QCOMPARE(opener_->opened, QStringList{QString::fromLatin1(kMakerAddress)});
    }

    void image3ClosesWithCancelAndReopensWhereLeft()
    {
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        QTimer safety;  // ends a stuck modal loop instead of hanging the test
        safety.setSingleShot(true);
        connect(&safety, &QTimer::timeout, box_.get(), [this] { box_->done(99); });

        QPoint firstPosition;
        QTimer::singleShot(0, this, [&] {
            firstPosition = box_->pos();
            box_->move(40, 30);
            MoveTo(kOnNothing);
            ClickAt(kOnImage3);
        });
        safety.start(5000);
        QCOMPARE(box_->exec(), int(QDialog::Rejected));
        safety.stop();
        QVERIFY(box_->isHidden());
        const QSize outer = box_->frameGeometry().size();
        QCOMPARE(firstPosition, QPoint(screen.left() + (screen.width() - outer.width()) / 2,
                                       screen.top() + (screen.height() - outer.height()) / 2));

        // The object lives on; the next showing keeps the place and image3 is back at rest.
        QPoint secondPosition;
        QTimer::singleShot(0, this, [&] {
            secondPosition = box_->pos();
            box_->close();  // the title bar's close box
        });
        safety.start(5000);
        QCOMPARE(box_->exec(), int(QDialog::Rejected));
        safety.stop();
        QCOMPARE(secondPosition, QPoint(40, 30));
        QCOMPARE(Control<QWidget>("image3")->pos(), QPoint(128, 233));
    }

    void showsNoTooltips()
    {
        QWidget plain;
        auto* plainLabel = new QLabel(QStringLiteral("x"), &plain);
        plainLabel->setToolTip(QStringLiteral("a hint"));
        plain.show();
        box_->show();
        QVERIFY(QTest::qWaitForWindowExposed(box_.get()));

        for (const char* name : {"Comments", "Image1"}) {
            auto* control = Control<QWidget>(name);
            QHelpEvent help(QEvent::ToolTip, QPoint(5, 5), control->mapToGlobal(QPoint(5, 5)));
            QApplication::sendEvent(control, &help);
            QVERIFY2(!QToolTip::isVisible(), name);
        }
        // Control: the same request elsewhere does show the standard tooltip.
        QHelpEvent help(QEvent::ToolTip, QPoint(2, 2), plainLabel->mapToGlobal(QPoint(2, 2)));
        QApplication::sendEvent(plainLabel, &help);
        QVERIFY(QToolTip::isVisible());
        QToolTip::hideText();
    }
};

QTEST_MAIN(AboutBoxTest)
#include "about_box_test.moc"
