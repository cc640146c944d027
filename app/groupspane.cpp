#include "app/groupspane.h"

#include "app/tform13.h"
#include "apps/cleaning.h"
#include "apps/groups.h"
#include "apps/messages.h"
#include "base/strlist.h"
#include "ui/dialogs.h"
#include "ui/textpane.h"

#include <QCheckBox>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>

namespace {

const LogStyle NothingStyle{logcolor::Red, 9, false};
const LogStyle ResultStyle{logcolor::Green, 9, false};
const LogStyle DeletedStyle{logcolor::Orange, 9, false};

// One line of a pane with what it looks like, so that it can be put back elsewhere unchanged.
struct PaneLine {
    QString text;
    QTextBlockFormat blockFormat;
    QTextCharFormat charFormat;
};

QTextCharFormat lookOf(const QTextBlock& block) {
    return block.length() > 1 ? block.begin().fragment().charFormat() : block.charFormat();
}

// Puts lines right after line `after`, each as a paragraph of its own.
void insertLinesAfter(QTextDocument* doc, int after, const QList<PaneLine>& lines) {
    const QTextBlock anchor = doc->findBlockByNumber(after);
    QTextCursor cursor(doc);
    cursor.beginEditBlock();
    cursor.setPosition(anchor.position() + anchor.length() - 1);
    for (const PaneLine& line : lines) {
        cursor.insertBlock(line.blockFormat, line.charFormat);
        cursor.insertText(line.text, line.charFormat);
    }
    cursor.endEditBlock();
}

// The name a ticked log line brings into a group: empty when it brings none, and a heading such as
// "--- Third-Party Apps ---" is no name, or it would become a group of its own there.
QString transferredName(QStringView line) {
    QString name = apps::nameOfTickedLine(line.sliced(apps::CheckedChar.size()));
    return apps::isGroupHeader(name) ? QString() : name;
}

// Removes (move mode) the ticked lines that brought a name and unticks every other ticked line of the log,
// from the bottom up so that the lines still to visit keep their numbers. Returns where the caret belongs
// afterwards: at the start of the line that followed the topmost ticked line; -1 when no line was ticked.
int consumeTicks(TextPane* log, bool move, const QTextCharFormat& untickedFormat) {
    QTextDocument* doc = log->document();
    const int lineCount = log->lineCount();
    int caret = -1;
    QTextCursor cursor(doc);
    cursor.beginEditBlock();
    for (QTextBlock block = doc->findBlockByNumber(lineCount - 1); block.isValid();) {
        const QTextBlock previous = block.previous();
        const QString line = block.text();
        if (line.startsWith(apps::CheckedChar)) {
            const int start = block.position();
            cursor.setPosition(start);
            cursor.setPosition(qMin(start + block.length(), doc->characterCount() - 1), QTextCursor::KeepAnchor);
            if (move && !transferredName(line).isEmpty()) {
                cursor.removeSelectedText();
            } else {
                cursor.insertText(line.sliced(apps::CheckedChar.size()) + u'\n', untickedFormat);
            }
            caret = cursor.position();
        }
        block = previous;
    }
    cursor.endEditBlock();
    return caret;
}

} // namespace

void SortGroupInRichEdit(TextPane* RE, int GroupHeaderIndex) {
    const int lineCount = RE->lineCount();
    if (GroupHeaderIndex < 0 || GroupHeaderIndex >= lineCount)
        return;
    QTextDocument* doc = RE->document();
    const QTextBlock header = doc->findBlockByNumber(GroupHeaderIndex);
    QList<PaneLine> GroupLines;
    QTextBlock last;
    for (QTextBlock block = header.next(); block.isValid() && block.blockNumber() < lineCount; block = block.next()) {
        const QString line = block.text();
        if (apps::isGroupHeader(line))
            break;
        GroupLines.append({line, block.blockFormat(), lookOf(block)});
        last = block;
    }
    if (GroupLines.isEmpty())
        return;

    const QCollator collator = strlist::collator();
    std::sort(GroupLines.begin(), GroupLines.end(),
              [&collator](const PaneLine& a, const PaneLine& b) { return collator.compare(a.text, b.text) < 0; });

    QTextCursor cursor(doc);
    cursor.beginEditBlock();
    // From the header's line break to the last member's: the lines go, the group's end stays where it was,
    // so a pane that ends without a line break still does.
    cursor.setPosition(header.position() + header.length() - 1);
    cursor.setPosition(last.position() + last.length() - 1, QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
    insertLinesAfter(doc, GroupHeaderIndex, GroupLines);
    cursor.endEditBlock();
}

void TForm13::RichEdit2DblClick(QObject* Sender) {
    if (Sender != RichEdit2)
        return;
    const QString NewGroupName = strlist::trim(dialogs::askText(
        this, text(apps::msg::GroupCaption), text(apps::msg::GroupPrompt), text(apps::msg::GroupDefault)));
    if (NewGroupName.isEmpty())
        return;
    const QString GroupHeader = apps::groupHeader(NewGroupName) + u"\r\n"_qs;

    TextPane* groups = RichEdit2;
    // A blank line separates the new group from the text above; after a last line typed without a line
    // break, the append only ends that line.
    if (groups->lineCount() > 0)
        groups->appendLine(QString());
    groups->setSelection(groups->textLength(), 0);
    groups->setInsertionFormat(QColor(apps::HeaderColor), apps::HeaderSize, true);
    groups->replaceSelection(GroupHeader);
    groups->setInsertionFormat(groups->defaultColor(), groups->defaultSize(), false);
    groups->setSelection(groups->textLength(), 0);
    // What the user types next at the end is an ordinary line, not part of the header's look; so is the
    // empty line there, which becomes the blank line before the next group.
    groups->setCurrentCharFormat(groups->insertionFormat());
    QTextCursor end(groups->document());
    end.movePosition(QTextCursor::End);
    end.setBlockCharFormat(groups->insertionFormat());
}

void TForm13::RichEdit2ContextPopup(QObject* Sender, bool& Handled) {
    if (Sender != RichEdit2) {
        Handled = false;
        return;
    }
    Handled = true;
    TextPane* groups = RichEdit2;
    TextPane* log = RichEdit1;
    const bool MoveMode = CheckBoxMove->isChecked();

    int TargetGroupIndex = -1;
    if (groups->selectionLength() > 0) {
        const int SelLineIndex = qMin(groups->lineOfPosition(groups->selectionStart()), groups->lineCount() - 1);
        for (int i = SelLineIndex; i >= 0; --i) {
            if (apps::isGroupHeader(groups->line(i))) {
                TargetGroupIndex = i;
                break;
            }
        }
    }

    QStringList PackagesToCopy;
    int CheckedCount = 0;
    for (const QString& line : log->lines()) {
        if (!line.startsWith(apps::CheckedChar))
            continue;
        // Every name counts, dotted or not: the apps list's readable names mostly have no dot.
        if (QString PackageName = transferredName(line); !PackageName.isEmpty()) {
            ++CheckedCount;
            PackagesToCopy.append(std::move(PackageName));
        }
    }
    if (PackagesToCopy.isEmpty()) {
        writeLine(text(apps::msg::NothingToTransfer), NothingStyle);
        return;
    }

    // Names come in as ordinary lines: the line they are put before may be the next group's header.
    groups->setInsertionFormat(groups->defaultColor(), groups->defaultSize(), false);
    if (TargetGroupIndex >= 0) {
        QList<PaneLine> names;
        names.reserve(PackagesToCopy.size());
        const QTextCharFormat look = groups->insertionFormat();
        for (const QString& name : std::as_const(PackagesToCopy))
            names.append({name, QTextBlockFormat(), look});
        insertLinesAfter(groups->document(), TargetGroupIndex, names);
    } else {
        groups->appendLines(PackagesToCopy);
    }

    log->setInsertionFormat(QColor(logcolor::Black), log->defaultSize(), false);
    const int caret = consumeTicks(log, MoveMode, log->insertionFormat());
    log->setSelection(caret, 0);

    SortGroupInRichEdit(groups, TargetGroupIndex);
    writeLine(text(apps::msg::TransferResult)
                  .arg(QString::number(CheckedCount), IIf(MoveMode, text(apps::msg::Moved), text(apps::msg::Added))),
              ResultStyle);
}

void TForm13::RichEdit2KeyDown(QObject* Sender, int& Key) {
    if (Sender != RichEdit2 || Key != Qt::Key_Delete || RichEdit2->selectionLength() <= 0)
        return;
    const int CurrentLineIndex = RichEdit2->lineOfPosition(RichEdit2->selectionStart());
    if (CurrentLineIndex < 0 || CurrentLineIndex >= RichEdit2->lineCount())
        return;
    RichEdit2->deleteLine(CurrentLineIndex);
    Key = 0;
    writeLine(text(apps::msg::LineDeleted).arg(CurrentLineIndex + 1), DeletedStyle);
}
