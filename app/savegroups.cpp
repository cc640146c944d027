#include "app/tform13.h"
#include "apps/messages.h"
#include "apps/rtf.h"
#include "base/errors.h"
#include "base/files.h"
#include "ui/dialogs.h"
#include "ui/textpane.h"

#include <QDir>

namespace {

const LogStyle SavedStyle{logcolor::Green, 9, false};
const LogStyle SaveFailedStyle{logcolor::Red, 9, false};

} // namespace

void TForm13::PanelSaveGroupsClick() {
    if (CurrentDirectory.isEmpty()) {
        dialogs::showMessage(this, text(apps::msg::NoWorkingPath));
        return;
    }
    QString SavePath = CurrentDirectory;
    if (!SavePath.endsWith(u'/') && !SavePath.endsWith(QDir::separator()))
        SavePath += u'/';
    SavePath += u"AppGroups.txt"_qs;
    // The one place where a file error is only reported in the log: the groups stay in the pane to retry.
    try {
        files::writeWholeFile(SavePath, rtf::fromDocument(*RichEdit2->document()));
    } catch (const TelvaneError& error) {
        writeLine(text(apps::msg::SaveFailed).arg(error.message(LangFR)), SaveFailedStyle);
        return;
    }
    writeLine(text(apps::msg::Saved).arg(files::shown(SavePath)), SavedStyle);
}

void TForm13::PanelGroupsInstructionsClick() {
    RichEdit1->clearPane();
    RichEdit1->setSelection(0, 0);
    RichEdit1->setInsertionFormat(QColor(logcolor::Blue), 10, true);
    RichEdit1->replaceSelection(text(apps::msg::GuideTitle) + u"\r\n\r\n"_qs);
    RichEdit1->setInsertionFormat(QColor(logcolor::Black), 9, false);
    QStringList body;
    for (const Message& line : apps::msg::GuideLines)
        body.append(text(line));
    RichEdit1->appendLines(body);
}
