#pragma once

#include <QString>

#include <functional>
#include <stdexcept>

class QWidget;

// An error that ends a handler and reaches the general error report; the message is kept as UTF-8.
class TelvaneError : public std::runtime_error {
public:
    explicit TelvaneError(const QString& message) : std::runtime_error(message.toStdString()) {}
    QString message() const { return QString::fromStdString(what()); }
};

// The text of the error report: the message with a full stop appended, unless its last character's code
// is no higher than that of the full stop.
QString errorReportText(const QString& message);

// Every modal dialog of the program goes through here, so that tests can answer instead of a person.
namespace dialogs {

enum class Kind { Error, Message, TextInput };

struct Request {
    Kind kind;
    QString title;
    QString text;
    QString defaultText;
};

// A responder replaces the modal dialogs: it sees what would have been shown and returns the text
// dialog's answer (a null QString stands for Cancel). An empty responder brings the real dialogs back.
using Responder = std::function<QString(const Request&)>;
void setResponder(Responder responder);

// Modal error box titled "Telvane" with an error icon and an OK button.
void showError(QWidget* parent, const QString& text);
// Modal message box with an OK button.
void showMessage(QWidget* parent, const QString& text);
// Modal text-input dialog; returns the field's text on OK, and defaultText when cancelled.
QString askText(QWidget* parent, const QString& caption, const QString& prompt, const QString& defaultText);

} // namespace dialogs
