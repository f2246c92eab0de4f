// SPDX-License-Identifier: GPL-2.0-or-later
#include "ErrorHandler.h"

#include "AppTitle.h"

#include <QMessageBox>
#include <QSettings>

std::unique_ptr<QMessageBox> QtMessageBoxes::MakeErrorBox(QWidget* parent, const QString& caption, const QString& text)
{
    auto box = std::make_unique<QMessageBox>(QMessageBox::Critical, caption, text, QMessageBox::Ok, parent);
    box->setTextFormat(Qt::PlainText);
    return box;
}

void QtMessageBoxes::ShowError(QWidget* parent, const QString& caption, const QString& text)
{
    MakeErrorBox(parent, caption, text)->exec();
}

QString WithFullStop(const QString& message)
{
    if (message.isEmpty() || message.back() <= QLatin1Char('.'))
        return message;
    return message + QLatin1Char('.');
}

LeafbindApplication::LeafbindApplication(int& argc, char** argv, std::shared_ptr<MessageBoxes> boxes)
    : QApplication(argc, argv), boxes_(boxes ? std::move(boxes) : std::make_shared<QtMessageBoxes>())
{
    // The title names the application; the window captions stay as the windows set them.
    setApplicationName(QString::fromLatin1(kApplicationTitle));
    setDesktopFileName(QStringLiteral("leafbind"));
    // The program keeps nothing between runs. The toolkit's file dialog would store its history
    // in the user's settings when it closes; point user settings where nothing can be read or written.
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("/dev/null"));
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("/dev/null"));
}

bool LeafbindApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        HandleException(error);
        return true;
    }
}

void LeafbindApplication::HandleException(const std::exception& error)
{
    boxes_->ShowError(activeWindow(), QString::fromLatin1(kApplicationTitle),
                      WithFullStop(QString::fromLocal8Bit(error.what())));
}

void ReportUnhandledError(const std::exception& error)
{
    if (auto* app = dynamic_cast<LeafbindApplication*>(QCoreApplication::instance())) {
        app->HandleException(error);
        return;
    }
    QtMessageBoxes().ShowError(nullptr, QString::fromLatin1(kApplicationTitle),
                               WithFullStop(QString::fromLocal8Bit(error.what())));
}
