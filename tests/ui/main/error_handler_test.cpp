// SPDX-License-Identifier: GPL-2.0-or-later
// The default error handler: message wording and errors that escape event handling.
#include "MainWindowHarness.h"

#include <QMessageBox>
#include <QTest>

#include <stdexcept>

namespace {

// An object whose event handling fails the way a list file or a preview can. (Mouse and key events
// are copied inside the toolkit's own frames, which do not release their copies while an error
// unwinds through them; the commands therefore catch their errors themselves, and this last line
// of defence is tested with an event the toolkit hands over unchanged.)
class FailingObject : public QObject {
protected:
    bool event(QEvent* event) override
    {
        if (event->type() == QEvent::User)
            throw std::runtime_error("Cannot open file \"/x\". Permission denied");
        return QObject::event(event);
    }
};

}  // namespace

class ErrorHandlerTest : public QObject {
    Q_OBJECT

public:
    explicit ErrorHandlerTest(std::shared_ptr<RecordingBoxes> boxes) : boxes_(std::move(boxes)) {}

private slots:
    void fullStopRule_data()
    {
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("shown");
        QTest::newRow("plain text gets one") << "No such file" << "No such file.";
        QTest::newRow("a full stop stays single") << "Done." << "Done.";
        QTest::newRow("closing parenthesis is ordered before it") << "extension (.txt)" << "extension (.txt)";
        QTest::newRow("exclamation mark") << "Failed!" << "Failed!";
        QTest::newRow("trailing space") << "Failed " << "Failed ";
        QTest::newRow("hyphen") << "a-" << "a-";
        QTest::newRow("slash is ordered after it") << "/tmp/" << "/tmp/.";
        QTest::newRow("digit") << "JPEG error #53" << "JPEG error #53.";
        QTest::newRow("non-ASCII letter") << QString::fromUtf8("caf\xC3\xA9") << QString::fromUtf8("caf\xC3\xA9.");
        QTest::newRow("empty") << "" << "";
    }
    void fullStopRule()
    {
        QFETCH(QString, message);
        QFETCH(QString, shown);
        QCOMPARE(WithFullStop(message), shown);
    }

    void errorsEscapingEventsAreShownAndTheApplicationGoesOn()
    {
        boxes_->shown.clear();
        FailingObject object;
        QEvent direct(QEvent::User);
        QCoreApplication::sendEvent(&object, &direct);
        QCoreApplication::postEvent(&object, new QEvent(QEvent::User));
        QCoreApplication::processEvents();
        QCOMPARE(boxes_->shown.size(), 2);
        QCOMPARE(boxes_->shown[0].caption, QStringLiteral("Export JPG images to PDF file"));
        QCOMPARE(boxes_->shown[0].text, QStringLiteral("Cannot open file \"/x\". Permission denied."));
    }

    void guardedCommandsReportTheirErrors()
    {
        boxes_->shown.clear();
        RunGuarded([] { throw std::runtime_error("JPEG error #53"); });
        QCOMPARE(boxes_->shown.size(), 1);
        QCOMPARE(boxes_->shown[0].text, QStringLiteral("JPEG error #53."));
    }

    void errorBoxShowsPlainText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("bold tags") << "Cannot create file \"/tmp/<b>trip</b>.txt\". No such file or directory.";
        QTest::newRow("image tag") << "Cannot open file \"/tmp/<img src=\"/tmp/x.png\">.jpg\". Permission denied.";
        QTest::newRow("ampersand and brackets") << "Cannot open file \"/tmp/a & b &amp; 1<2>0.txt\". Is a directory.";
    }
    void errorBoxShowsPlainText()
    {
        QFETCH(QString, text);
        const auto box = QtMessageBoxes::MakeErrorBox(nullptr, QStringLiteral("Export JPG images to PDF file"), text);
        QCOMPARE(box->text(), text);
        QCOMPARE(box->textFormat(), Qt::PlainText);
        QCOMPARE(box->windowTitle(), QStringLiteral("Export JPG images to PDF file"));
        QCOMPARE(box->icon(), QMessageBox::Critical);
        QCOMPARE(box->standardButtons(), QMessageBox::StandardButtons(QMessageBox::Ok));
    }

private:
    std::shared_ptr<RecordingBoxes> boxes_;
};

int main(int argc, char* argv[])
{
    return RunUnderErrorHandler<ErrorHandlerTest>(argc, argv);
}

#include "error_handler_test.moc"
