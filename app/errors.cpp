#include "app/errors.h"

#include <QInputDialog>
#include <QMessageBox>

QString errorReportText(const QString& message) {
    if (!message.isEmpty() && message.back().unicode() <= u'.')
        return message;
    return message + u'.';
}

namespace dialogs {

namespace {
Responder& responder() {
    static Responder r;
    return r;
}
const QString AppTitle = QStringLiteral("Telvane");
} // namespace

void setResponder(Responder r) {
    responder() = std::move(r);
}

void showError(QWidget* parent, const QString& text) {
    if (responder()) {
        responder()({Kind::Error, AppTitle, text, {}});
        return;
    }
    QMessageBox::critical(parent, AppTitle, text);
}

void showMessage(QWidget* parent, const QString& text) {
    if (responder()) {
        responder()({Kind::Message, AppTitle, text, {}});
        return;
    }
    QMessageBox::information(parent, AppTitle, text);
}

QString askText(QWidget* parent, const QString& caption, const QString& prompt, const QString& defaultText) {
    QString answer;
    if (responder()) {
        answer = responder()({Kind::TextInput, caption, prompt, defaultText});
        return answer.isNull() ? defaultText : answer;
    }
    bool ok = false;
    answer = QInputDialog::getText(parent, caption, prompt, QLineEdit::Normal, defaultText, &ok);
    return ok ? answer : defaultText;
}

} // namespace dialogs
