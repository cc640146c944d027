#include "ui/textpane.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTimer>

namespace {

QString withBreaks(const QString& text) {
    QString s = text;
    s.replace(u"\r\n"_qs, u"\n"_qs);
    s.replace(u'\r', u'\n');
    return s;
}

} // namespace

TextPane::TextPane(QWidget* parent) : QTextEdit(parent) {
    setAcceptRichText(false);
    setPaneFont(font());
}

void TextPane::setPaneFont(const QFont& font) {
    paneFont_ = font;
    setFont(font);
    document()->setDefaultFont(font);
    setInsertionFormat(defaultColor(), font.pointSize(), false);
}

QColor TextPane::defaultColor() const {
    return palette().color(QPalette::Text);
}

void TextPane::setInsertionFormat(QColor color, int size, bool bold) {
    QFont f = paneFont_;
    f.setPointSize(size);
    f.setBold(bold);
    f.setItalic(false);
    f.setUnderline(false);
    f.setStrikeOut(false);
    QTextCharFormat format;
    format.setFont(f, QTextCharFormat::FontPropertiesAll);
    format.setForeground(color);
    insertionFormat_ = format;
}

int TextPane::lineCount() const {
    const QTextDocument* doc = document();
    const int blocks = doc->blockCount();
    return doc->lastBlock().length() == 1 ? blocks - 1 : blocks;
}

QString TextPane::line(int i) const {
    return document()->findBlockByNumber(i).text();
}

int TextPane::lineOfPosition(int position) const {
    if (position < 0)
        return -1;
    return document()->findBlock(position).blockNumber();
}

int TextPane::lineStart(int i) const {
    return document()->findBlockByNumber(i).position();
}

QStringList TextPane::lines() const {
    QStringList result;
    const int n = lineCount();
    result.reserve(n);
    QTextBlock block = document()->begin();
    for (int i = 0; i < n; ++i, block = block.next())
        result.append(block.text());
    return result;
}

void TextPane::deleteLine(int i) {
    if (i < 0 || i >= lineCount())
        return;
    const QTextBlock block = document()->findBlockByNumber(i);
    QTextCursor cursor(document());
    cursor.setPosition(block.position());
    // The line break goes with the line; the last line of a text without a final break has none.
    const int end = block.next().isValid() ? block.next().position() : block.position() + block.length() - 1;
    cursor.setPosition(end, QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
}

void TextPane::insertLine(int i, const QString& text) {
    if (i >= lineCount()) {
        appendLine(text);
        return;
    }
    const QTextBlock block = document()->findBlockByNumber(qMax(i, 0));
    // Inserted text takes the formatting found where it goes: that of the line's first character.
    QTextCharFormat format = block.charFormat();
    if (block.length() > 1)
        format = block.begin().fragment().charFormat();
    QTextCursor cursor(document());
    cursor.setPosition(block.position());
    cursor.insertText(withBreaks(text) + u'\n', format);
}

int TextPane::selectionStart() const {
    return textCursor().selectionStart();
}

int TextPane::selectionLength() const {
    const QTextCursor c = textCursor();
    return c.selectionEnd() - c.selectionStart();
}

void TextPane::setSelection(int start, int length) {
    const int last = textLength();
    QTextCursor cursor(document());
    cursor.setPosition(qBound(0, start, last));
    cursor.setPosition(qBound(0, start + length, last), QTextCursor::KeepAnchor);
    setTextCursor(cursor);
}

int TextPane::textLength() const {
    return document()->characterCount() - 1;
}

void TextPane::replaceSelection(const QString& text) {
    QTextCursor cursor = textCursor();
    cursor.insertText(withBreaks(text), insertionFormat_);
    moveCaret(cursor);
}

void TextPane::insertAtEnd(const QString& lines) {
    QTextCursor cursor(document());
    cursor.movePosition(QTextCursor::End);
    // Only the editable groups pane can end without a line break. There the appended line break ends the
    // user's last line and the new lines follow it, themselves without a final break.
    if (document()->lastBlock().length() > 1)
        cursor.insertText(u'\n' + lines, insertionFormat_);
    else
        cursor.insertText(lines + u'\n', insertionFormat_);
    moveCaret(cursor);
}

// The pane's own caret follows text inserted at its place by itself; moving it again lays the text out.
void TextPane::moveCaret(const QTextCursor& cursor) {
    const QTextCursor caret = textCursor();
    if (caret.hasSelection() || caret.position() != cursor.position())
        setTextCursor(cursor);
}

void TextPane::appendLine(const QString& text) {
    insertAtEnd(withBreaks(text));
    scrollToEndLater();
}

void TextPane::appendLines(const QStringList& lines) {
    if (lines.isEmpty())
        return;
    insertAtEnd(withBreaks(lines.join(u'\n')));
    scrollToEndLater();
}

void TextPane::clearPane() {
    // Removing the text through a cursor, unlike QTextEdit::clear(), keeps a batch of edits intact.
    QTextCursor cursor(document());
    cursor.select(QTextCursor::Document);
    cursor.removeSelectedText();
    cursor.setBlockFormat(QTextBlockFormat());
    cursor.setBlockCharFormat(QTextCharFormat());
    setInsertionFormat(defaultColor(), paneFont_.pointSize(), false);
    setTextCursor(cursor);
}

TextPane::EditBatch::EditBatch(TextPane* pane) : pane_(pane), outer_(pane->batch_), cursor_(pane->document()) {
    pane->batch_ = this;
    cursor_.beginEditBlock();
}

TextPane::EditBatch::~EditBatch() {
    cursor_.endEditBlock();
    pane_->batch_ = outer_;
}

void TextPane::flushEdits() {
    for (EditBatch* batch = batch_; batch; batch = batch->outer_)
        batch->cursor_.endEditBlock();
    for (EditBatch* batch = batch_; batch; batch = batch->outer_)
        batch->cursor_.beginEditBlock();
}

// Scrolling lays the whole text out; an operation that appends many lines scrolls once, when it is done.
void TextPane::scrollToEndLater() {
    if (scrollPending_)
        return;
    scrollPending_ = true;
    QTimer::singleShot(0, this, [this] {
        scrollPending_ = false;
        verticalScrollBar()->setValue(verticalScrollBar()->maximum());
    });
}

void TextPane::mouseDoubleClickEvent(QMouseEvent* event) {
    QTextEdit::mouseDoubleClickEvent(event);
    if (onDoubleClick)
        onDoubleClick();
}

void TextPane::keyPressEvent(QKeyEvent* event) {
    if (onOpenKey && event->matches(QKeySequence::Open)) {
        event->accept();
        onOpenKey();
        return;
    }
    int key = event->key();
    if (onKeyDown)
        onKeyDown(key);
    if (key == 0) {
        event->accept();
        return;
    }
    QTextEdit::keyPressEvent(event);
}

void TextPane::contextMenuEvent(QContextMenuEvent* event) {
    bool handled = false;
    if (onContextPopup)
        onContextPopup(handled);
    if (handled) {
        event->accept();
        return;
    }
    QTextEdit::contextMenuEvent(event);
}

QString TextPane::droppedFile(const QMimeData* mime) const {
    if (!onFileDropped || !mime)
        return {};
    for (const QUrl& url : mime->urls())
        if (url.isLocalFile())
            return url.toLocalFile();
    return {};
}

void TextPane::dragEnterEvent(QDragEnterEvent* event) {
    if (droppedFile(event->mimeData()).isEmpty())
        QTextEdit::dragEnterEvent(event);
    else
        event->acceptProposedAction();
}

void TextPane::dragMoveEvent(QDragMoveEvent* event) {
    if (droppedFile(event->mimeData()).isEmpty())
        QTextEdit::dragMoveEvent(event);
    else
        event->acceptProposedAction();
}

void TextPane::dropEvent(QDropEvent* event) {
    const QString path = droppedFile(event->mimeData());
    if (path.isEmpty()) {
        QTextEdit::dropEvent(event);
        return;
    }
    event->acceptProposedAction();
    // The program the file came from waits until the drop returns: a question about it must not hold it.
    QTimer::singleShot(0, this, [this, path] {
        if (onFileDropped)
            onFileDropped(path);
    });
}

void AddFormattedLine(const QString& Text, QColor Color, int FontSize, bool Bold, TextPane* RichEdit) {
    RichEdit->setInsertionFormat(Color, FontSize, Bold);
    // The log is the only record of the session: what the user selected in it stays, the line goes after it.
    if (const int length = RichEdit->selectionLength(); length > 0)
        RichEdit->setSelection(RichEdit->selectionStart() + length, 0);
    RichEdit->replaceSelection(Text + u"\r\n"_qs);
}
