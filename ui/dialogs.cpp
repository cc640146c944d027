#include "ui/dialogs.h"

#include <QFileDialog>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>

namespace dialogs {

namespace {

Responder& responder() {
    static Responder r;
    return r;
}

const QString AppTitle = QStringLiteral("Telvane");

void showBox(QWidget* parent, QMessageBox::Icon icon, const QString& text) {
    QMessageBox box(icon, AppTitle, text, QMessageBox::Ok, parent);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

// The input dialog's prompt is a label that would take markup for rich text; ours is always plain.
void makeLabelsPlain(QInputDialog& dialog) {
    for (QLabel* label : dialog.findChildren<QLabel*>())
        label->setTextFormat(Qt::PlainText);
}

} // namespace

void setResponder(Responder r) {
    responder() = std::move(r);
}

void showError(QWidget* parent, const QString& text) {
    if (responder()) {
        responder()({Kind::Error, AppTitle, text, {}, {}});
        return;
    }
    showBox(parent, QMessageBox::Critical, text);
}

void showMessage(QWidget* parent, const QString& text) {
    if (responder()) {
        responder()({Kind::Message, AppTitle, text, {}, {}});
        return;
    }
    showBox(parent, QMessageBox::Information, text);
}

QString askText(QWidget* parent, const QString& caption, const QString& prompt, const QString& defaultText) {
    if (responder()) {
        const QString answer = responder()({Kind::TextInput, caption, prompt, defaultText, {}});
        return answer.isNull() ? defaultText : answer;
    }
    QInputDialog dialog(parent);
    dialog.setWindowTitle(caption);
    dialog.setLabelText(prompt);
    dialog.setTextValue(defaultText);
    makeLabelsPlain(dialog);
    return dialog.exec() == QDialog::Accepted ? dialog.textValue() : defaultText;
}

int chooseItem(QWidget* parent, const QString& text, const QStringList& items) {
    if (responder()) {
        const QString answer = responder()({Kind::Choice, AppTitle, text, {}, items});
        return answer.isNull() ? -1 : int(items.indexOf(answer));
    }
    QInputDialog dialog(parent);
    dialog.setWindowTitle(AppTitle);
    dialog.setLabelText(text);
    dialog.setOption(QInputDialog::UseListViewForComboBoxItems);
    dialog.setComboBoxEditable(false);
    dialog.setComboBoxItems(items);
    if (!items.isEmpty())
        dialog.setTextValue(items.first());
    makeLabelsPlain(dialog);
    if (dialog.exec() != QDialog::Accepted)
        return -1;
    return int(items.indexOf(dialog.textValue()));
}

bool askYesNo(QWidget* parent, const QString& text) {
    if (responder())
        return !responder()({Kind::Question, AppTitle, text, {}, {}}).isNull();
    QMessageBox box(QMessageBox::Question, AppTitle, text, QMessageBox::Yes | QMessageBox::No, parent);
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

QString openFileName(QWidget* parent, const QString& caption, const QString& folder, const QStringList& filters) {
    if (responder())
        return responder()({Kind::OpenFile, caption, {}, folder, filters});
    const QString path = QFileDialog::getOpenFileName(parent, caption, folder, filters.join(u";;"));
    return path.isEmpty() ? QString() : path;
}

} // namespace dialogs
