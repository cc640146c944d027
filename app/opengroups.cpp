#include "app/tform13.h"
#include "apps/groups.h"
#include "apps/messages.h"
#include "apps/rtfreader.h"
#include "base/errors.h"
#include "base/files.h"
#include "base/strlist.h"
#include "bridge/runner.h"
#include "ui/dialogs.h"
#include "ui/textpane.h"

#include <QFile>
#include <QFileInfo>
#include <QTextCursor>
#include <QTextDocument>

namespace {

const LogStyle OpenedStyle{logcolor::Green, 9, false};
const LogStyle OpenFailedStyle{logcolor::Red, 9, false};
constexpr qint64 LargestFile = 5 * 1024 * 1024;
constexpr qsizetype BinaryProbe = 4096;
// A phone holds a few thousand apps at most; a pane of a million lines takes minutes to lay out, or fails.
constexpr qsizetype MostLines = 100000;

// The lines of a groups file, or why it gives none.
struct GroupsFile {
    QStringList lines;
    const Message* problem = nullptr;
};

GroupsFile readGroupsFile(const QString& path) {
    const QFileInfo info(path);
    if (info.isDir())
        return {{}, &apps::msg::IsFolder};
    // A FIFO, a terminal, a socket or a device may never end, or never begin: only a regular file is read.
    if (info.exists() && !info.isFile())
        return {{}, &apps::msg::NotRegular};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {{}, &apps::msg::NotReadable};
    // One byte past the limit tells a file that is too large, even one that never ends.
    const QByteArray bytes = file.read(LargestFile + 1);
    if (file.error() != QFileDevice::NoError)
        return {{}, &apps::msg::NotReadable};
    if (bytes.size() > LargestFile)
        return {{}, &apps::msg::TooLarge};
    if (bytes.first(qMin(bytes.size(), BinaryProbe)).contains('\0'))
        return {{}, &apps::msg::NotText};
    std::optional<QStringList> lines;
    if (bytes.startsWith("{\\rtf")) {
        lines = rtf::textLines(bytes);
    } else {
        lines = strlist::fromText(bridge::decodeOutput(bytes));
        for (QString& line : *lines)
            strlist::blankParagraphBreaks(line);
    }
    if (!lines)
        return {{}, &apps::msg::BracesUnbalanced};
    if (lines->size() > MostLines)
        return {{}, &apps::msg::TooManyLines};
    return {std::move(*lines)};
}

// Each line becomes a paragraph in the look a transfer gives it: a group's header in the header look,
// any other line, empty ones included, in the pane's own. The caret ends after the last line break.
void fillGroupsPane(TextPane* pane, const QStringList& lines) {
    pane->clearPane();
    pane->setInsertionFormat(QColor(apps::HeaderColor), apps::HeaderSize, true);
    const QTextCharFormat header = pane->insertionFormat();
    pane->setInsertionFormat(pane->defaultColor(), pane->defaultSize(), false);
    const QTextCharFormat plain = pane->insertionFormat();
    QTextCursor cursor(pane->document());
    for (const QString& line : lines) {
        const QTextCharFormat& look = apps::isGroupHeader(line) ? header : plain;
        // An empty line shows the look of its paragraph, and the saved file keeps that look too.
        cursor.setBlockCharFormat(look);
        cursor.insertText(line, look);
        cursor.insertBlock(QTextBlockFormat(), plain);
    }
    pane->setTextCursor(cursor);
}

// A file dialog takes a folder that does not exist for the name of a file in the program's working
// folder. Before the first connection the output folder is not there yet: its nearest parent stands in.
QString existingFolder(QString folder) {
    for (QString parent; !QFileInfo(folder).isDir(); folder = parent) {
        parent = QFileInfo(folder).path();
        if (parent == folder)
            break;
    }
    return folder;
}

} // namespace

void TForm13::RichEdit2OpenKey() {
    const QString Folder = existingFolder(CurrentDirectory.isEmpty() ? files::outputFolder() : CurrentDirectory);
    const QString Path = dialogs::openFileName(
        this, text(apps::msg::OpenCaption), Folder,
        {text(apps::msg::GroupsFileFilter), text(apps::msg::TextFilesFilter), text(apps::msg::AllFilesFilter)});
    if (!Path.isEmpty())
        OpenGroupsFile(Path);
}

void TForm13::OpenGroupsFile(const QString& Path) {
    const GroupsFile file = readGroupsFile(Path);
    if (file.problem) {
        writeLine(text(apps::msg::OpenFailed).arg(text(*file.problem)), OpenFailedStyle);
        return;
    }
    // Blank lines are nobody's work: only text is worth the question.
    if (!strlist::trim(RichEdit2->toPlainText()).isEmpty() &&
        !dialogs::askYesNo(this, text(apps::msg::ReplaceQuestion)))
        return;
    fillGroupsPane(RichEdit2, file.lines);
    writeLine(text(apps::msg::Opened).arg(files::shown(Path)), OpenedStyle);
}
