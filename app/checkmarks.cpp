#include "app/tform13.h"
#include "apps/groups.h"
#include "ui/textpane.h"

void TForm13::RichEdit1DblClick(QObject* Sender) {
    if (Sender != RichEdit1)
        return;
    TextPane* log = RichEdit1;
    const int CurrentLineIndex = log->lineOfPosition(log->selectionStart());
    if (CurrentLineIndex < 0 || CurrentLineIndex >= log->lineCount())
        return;
    QString LineText = log->line(CurrentLineIndex);
    if (LineText.startsWith(apps::CheckedChar))
        LineText.remove(0, apps::CheckedChar.size());
    else
        LineText.prepend(apps::CheckedChar);
    // A line that held two marks is still ticked after losing one.
    const bool ticked = LineText.startsWith(apps::CheckedChar);

    // A line is a paragraph, so its characters and its line break are exactly this line, wrapped or not.
    log->setSelection(log->lineStart(CurrentLineIndex), log->line(CurrentLineIndex).size() + 1);
    log->setInsertionFormat(ticked ? QColor(logcolor::Green) : QColor(logcolor::Black), log->defaultSize(), ticked);
    log->replaceSelection(LineText + u"\r\n"_qs);
}
