#pragma once

#include <QString>
#include <QStringList>

#include <functional>

class QWidget;

// Every modal dialog of the program goes through here, so that tests can answer instead of a person.
// Every dialog shows its texts as plain text, never as markup.
namespace dialogs {

enum class Kind { Error, Message, TextInput, Choice, Question, OpenFile };

struct Request {
    Kind kind;
    QString title;
    QString text;
    QString defaultText; // TextInput: the field's text; OpenFile: the folder it opens in
    QStringList items;   // Choice: the entries; OpenFile: the name filters
};

// A responder replaces the modal dialogs: it sees what would have been shown and returns the answer: the
// text typed, the entry chosen, the file picked, or any non-null text for Yes. A null QString stands for
// Cancel (or No). An empty responder brings the real dialogs back.
using Responder = std::function<QString(const Request&)>;
void setResponder(Responder responder);

// Modal error box titled "Telvane" with an error icon and an OK button.
void showError(QWidget* parent, const QString& text);
// Modal message box with an OK button.
void showMessage(QWidget* parent, const QString& text);
// Modal text-input dialog; returns the field's text on OK, and defaultText when cancelled.
QString askText(QWidget* parent, const QString& caption, const QString& prompt, const QString& defaultText);
// Modal list titled "Telvane" with the first entry preselected; returns the index chosen, -1 when cancelled.
int chooseItem(QWidget* parent, const QString& text, const QStringList& items);
// Modal Yes/No question titled "Telvane"; true for Yes.
bool askYesNo(QWidget* parent, const QString& text);
// Modal file dialog opening in folder; returns the file chosen, a null QString when cancelled.
QString openFileName(QWidget* parent, const QString& caption, const QString& folder, const QStringList& filters);

} // namespace dialogs
