#include "bridge/connection.h"

#include "app/files.h"
#include "app/strlist.h"
#include "app/tform13.h"
#include "bridge/catalogue.h"
#include "bridge/runner.h"

#include <QRegularExpression>

namespace {

const Message Heading{"--- Testing ADB connection... ---", "--- Test de connexion ADB... ---"};
const Message Unauthorized{"Connection failed: Device unauthorized (check phone screen).",
                           "Échec de connexion : Appareil non autorisé (vérifiez l'écran du téléphone)."};
const Message NoDevice{"Connection failed: No device found. Check ADB instructions.",
                       "Échec de connexion : Aucun appareil trouvé. Vérifiez les instructions ADB."};
const Message Connected{"ADB CONNECTION: Success! Device found and authorized. ✔",
                        "CONNEXION ADB : Succès ! Appareil trouvé et autorisé. ✔"};

const LogStyle HeadingStyle{logcolor::Maroon, 10, false};
const LogStyle FailureStyle{logcolor::Red, 10, true};
const LogStyle SuccessStyle{logcolor::Green, 10, true};

// adb writes "serial TAB state"; a serial may hold blanks. A line without a tab ("adb devices -l" pads
// the serial with blanks) is cut at blanks instead.
QString stateOf(const QString& line) {
    static const QRegularExpression blanks(QStringLiteral("[ \\t]+"));
    const qsizetype tab = line.indexOf(u'\t');
    const QStringList fields = (tab < 0 ? line : line.mid(tab + 1)).split(blanks, Qt::SkipEmptyParts);
    const qsizetype at = tab < 0 ? 1 : 0;
    return fields.size() > at ? fields[at] : QString();
}

bool isUsableDeviceLine(const QString& line) {
    if (!strlist::containsNoCase(line, u"device") || strlist::containsNoCase(line, u"devices attached") ||
        strlist::containsNoCase(line, u"unauthorized"))
        return false;
    return strlist::equalsNoCase(stateOf(line), u"device");
}

} // namespace

namespace bridge {

DeviceState judgeDevices(const QStringList& lines) {
    for (const QString& line : lines)
        if (isUsableDeviceLine(line))
            return DeviceState::Usable;
    return strlist::containsNoCase(strlist::joined(lines), u"unauthorized") ? DeviceState::Unauthorized
                                                                            : DeviceState::NoDevice;
}

} // namespace bridge

bool TForm13::IsDeviceConnected() {
    const QString adb = ADBPath();
    writeLine(text(Heading), HeadingStyle);
    appendEmptyLine();
    QStringList output;
    ExecuteADBCommand(catalogue::devices(adb), output);
    // adb that printed nothing at all leaves no message.
    if (output.isEmpty())
        return false;
    switch (bridge::judgeDevices(output)) {
    case bridge::DeviceState::Usable:
        return true;
    case bridge::DeviceState::Unauthorized:
        writeLine(text(Unauthorized), FailureStyle);
        return false;
    case bridge::DeviceState::NoDevice:
        writeLine(text(NoDevice), FailureStyle);
        return false;
    }
    return false;
}

void TForm13::PanelConnectClick() {
    appendEmptyLine();
    if (!IsDeviceConnected())
        return;
    CurrentDirectory = files::ensureOutputFolder();
    writeLine(text(Connected), SuccessStyle);
}
