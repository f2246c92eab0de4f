// SPDX-License-Identifier: GPL-2.0-or-later
// The application's default error handler: an error that escapes a command is shown in a
// message box, and the application goes on.
#pragma once

#include <QApplication>
#include <QString>

#include <exception>
#include <memory>

class QMessageBox;
class QWidget;

// Shows messages to the user; tests record them instead.
class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    // A box with the caption, the text, an OK button and the error icon.
    virtual void ShowError(QWidget* parent, const QString& caption, const QString& text) = 0;
};

class QtMessageBoxes : public MessageBoxes {
public:
    void ShowError(QWidget* parent, const QString& caption, const QString& text) override;
    // The box ShowError runs. Its text is plain: a file name is shown as written, never as markup.
    static std::unique_ptr<QMessageBox> MakeErrorBox(QWidget* parent, const QString& caption, const QString& text);
};

// The message as shown: a full stop is appended unless the text ends in a full stop or in a
// character ordered before it (a closing parenthesis, say).
QString WithFullStop(const QString& message);

// The application object. Errors thrown from event handlers are caught here and shown.
class LeafbindApplication : public QApplication {
public:
    LeafbindApplication(int& argc, char** argv, std::shared_ptr<MessageBoxes> boxes = nullptr);

    bool notify(QObject* receiver, QEvent* event) override;

    // Shows the error under the application's title and returns; the caller goes on.
    void HandleException(const std::exception& error);

private:
    std::shared_ptr<MessageBoxes> boxes_;
};

// Hands an error to the running LeafbindApplication (or to a plain message box without one).
void ReportUnhandledError(const std::exception& error);

// Runs a command; an error escaping it goes to the default error handler.
// Commands are guarded where they start, so no exception unwinds through the toolkit's frames.
template <typename Command> void RunGuarded(Command&& command)
{
    try {
        command();
    } catch (const std::exception& error) {
        ReportUnhandledError(error);
    }
}
