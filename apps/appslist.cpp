#include "app/files.h"
#include "app/strlist.h"
#include "app/textpane.h"
#include "app/tform13.h"
#include "apps/cleaning.h"
#include "apps/messages.h"
#include "bridge/catalogue.h"
#include "bridge/runner.h"

#include <QCheckBox>
#include <QDir>

namespace {

const LogStyle HeaderStyle{logcolor::Maroon, 10, true};
const LogStyle NoticeStyle{logcolor::Blue, 10, false};
const LogStyle FileNoticeStyle{logcolor::Black, 10, false};
const LogStyle ListHeaderStyle{logcolor::Blue, 10, true};

} // namespace

void TForm13::PanelGenerateAppsListClick() {
    GenerateAppsListFile();
}

void TForm13::GenerateAppsListFile() {
    if (!IsDeviceConnected())
        return;
    const catalogue::Target adb = adbTarget();
    const QString rawPath = QDir(files::ensureOutputFolder()).filePath(u"AppsList_ThirdParty.txt"_qs);

    writeLine(text(apps::msg::StartHeader), HeaderStyle);
    appendEmptyLine();

    QStringList OutputList;
    if (CheckBoxOldAndroid->isChecked()) {
        writeLine(text(apps::msg::LegacyNotice), NoticeStyle);
        QStringList TotalList;
        QStringList SystemList;
        ExecuteADBCommand(catalogue::allPackages(adb), TotalList);
        ExecuteADBCommand(catalogue::systemPackages(adb), SystemList);
        OutputList = apps::subtractListing(TotalList, SystemList);
    } else {
        writeLine(text(apps::msg::StandardNotice), NoticeStyle);
        ExecuteADBCommand(catalogue::thirdPartyPackages(adb), OutputList);
    }
    files::writeWholeFile(rawPath, strlist::fileBytes(OutputList));

    writeLine(text(apps::msg::FileNotice) + files::shown(rawPath), FileNoticeStyle);
    appendEmptyLine();
    writeLine(text(apps::msg::ListHeader), ListHeaderStyle);

    QStringList CleanedList;
    for (const QString& line : std::as_const(OutputList))
        if (QString name = apps::readableName(line); !name.isEmpty())
            CleanedList.append(std::move(name));
    strlist::sortNoCase(CleanedList);
    RichEdit1->appendLines(CleanedList);
}
