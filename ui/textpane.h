#pragma once

#include <QStringList>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextEdit>

#include <functional>

// A rich-text pane addressed the way the operations think of it: a list of lines (the document's
// paragraphs, so a long wrapped line is still one line), a selection, and insertion attributes that
// the next inserted text receives unless it brings its own.
class TextPane : public QTextEdit {
    Q_OBJECT
public:
    explicit TextPane(QWidget* parent = nullptr);

    // The pane's own font: clearing returns to it, and its size is the pane's default size.
    void setPaneFont(const QFont& font);
    QFont paneFont() const { return paneFont_; }
    int defaultSize() const { return paneFont_.pointSize(); }
    QColor defaultColor() const;

    // Insertion attributes ("selection formatting"): colour, size in points, bold or regular.
    void setInsertionFormat(QColor color, int size, bool bold);
    QTextCharFormat insertionFormat() const { return insertionFormat_; }

    // Line list, from 0. An empty last line after the final line break is not counted.
    int lineCount() const;
    QString line(int i) const;
    int lineOfPosition(int position) const; // -1 when the position holds no line
    int lineStart(int i) const;
    void deleteLine(int i);                      // removes line i with its line break
    void insertLine(int i, const QString& text); // before line i; i == lineCount() appends
    QStringList lines() const;

    // Selection over the whole text, positions from 0; a line break counts as one character.
    int selectionStart() const;
    int selectionLength() const;
    void setSelection(int start, int length);
    int textLength() const;
    // Replaces the selection with text (CR LF, CR and LF become line breaks) in the insertion attributes;
    // the caret ends right after the inserted text.
    void replaceSelection(const QString& text);

    // Plain append: the text as a new last line with the insertion attributes in force, whatever the
    // selection; the caret ends at the end and the pane scrolls to its last line. When the last line has
    // no line break (the user typed it), the append's line break ends that line and the text follows.
    void appendLine(const QString& text);
    void appendLines(const QStringList& lines);
    // Empties the pane; insertion attributes return to the pane's font; caret at 0.
    void clearPane();

    // While an EditBatch lives, the pane's changes are laid out and shown once, when it ends.
    class EditBatch {
    public:
        explicit EditBatch(TextPane* pane);
        ~EditBatch();
        EditBatch(const EditBatch&) = delete;
        EditBatch& operator=(const EditBatch&) = delete;

    private:
        friend class TextPane;
        TextPane* pane_;
        EditBatch* outer_;
        QTextCursor cursor_;
    };
    // Lays out and shows what the batches in force hold so far, which then go on (while a command runs).
    void flushEdits();
    // Brings the end of the text into view once the events run.
    void showEnd() { scrollToEndLater(); }

    // Hooks for the window's handlers. The key hook may set the key to 0 to swallow it; the context hook
    // sets handled to true when no other context menu may show.
    std::function<void()> onDoubleClick;
    std::function<void(int& key)> onKeyDown;
    std::function<void(bool& handled)> onContextPopup;
    // While set, a dropped file goes to onFileDropped (the first local one) instead of into the text, and
    // the Open shortcut (Ctrl+O) to onOpenKey.
    std::function<void(const QString& path)> onFileDropped;
    std::function<void()> onOpenKey;

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    QString droppedFile(const QMimeData* mime) const;
    void insertAtEnd(const QString& lines);
    void moveCaret(const QTextCursor& cursor);
    void scrollToEndLater();

    QFont paneFont_;
    QTextCharFormat insertionFormat_;
    bool scrollPending_ = false;
    EditBatch* batch_ = nullptr;
};

// Writes Text and a line break at the end of the pane's selection (selected text stays) in the given
// colour, size and weight; these stay the pane's insertion attributes afterwards.
void AddFormattedLine(const QString& Text, QColor Color, int FontSize, bool Bold, TextPane* RichEdit);
