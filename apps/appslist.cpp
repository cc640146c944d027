#include "apps/appslist.h"

#include "apps/cleaning.h"
#include "apps/messages.h"
#include "base/files.h"
#include "base/strlist.h"
#include "bridge/catalogue.h"
#include "bridge/host.h"

#include <QDir>

namespace apps {

bool GenerateAppsListFile(bridge::Host& host) {
    using bridge::Kind;
    if (!host.IsDeviceConnected())
        return false;
    const catalogue::Target adb = host.adbTarget();
    const QString rawPath = QDir(host.outputFolder()).filePath(u"AppsList_ThirdParty.txt"_qs);

    host.write(Kind::Heading, host.text(msg::StartHeader));
    host.blank();

    QStringList OutputList;
    if (host.options().legacy) {
        host.write(Kind::Notice, host.text(msg::LegacyNotice));
        const QStringList TotalList = host.ExecuteADBCommand(catalogue::allPackages(adb));
        const QStringList SystemList = host.ExecuteADBCommand(catalogue::systemPackages(adb));
        OutputList = subtractListing(TotalList, SystemList);
    } else {
        host.write(Kind::Notice, host.text(msg::StandardNotice));
        OutputList = host.ExecuteADBCommand(catalogue::thirdPartyPackages(adb));
    }
    host.stopIfCancelled();
    files::writeWholeFile(rawPath, strlist::fileBytes(OutputList));

    host.write(Kind::Result, host.text(msg::FileNotice) + files::shown(rawPath));
    host.blank();
    host.write(Kind::Section, host.text(msg::ListHeader));

    QStringList CleanedList;
    for (const QString& line : std::as_const(OutputList))
        if (QString name = readableName(line); !name.isEmpty())
            CleanedList.append(std::move(name));
    strlist::sortNoCase(CleanedList);
    host.writeLines(Kind::Item, CleanedList);
    return true;
}

} // namespace apps
