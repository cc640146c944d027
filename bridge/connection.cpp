#include "bridge/connection.h"

#include "app/errors.h"
#include "app/files.h"
#include "app/strlist.h"
#include "app/tform13.h"
#include "bridge/catalogue.h"
#include "bridge/runner.h"

#include <QRegularExpression>

#include <algorithm>

namespace {

const Message Heading{"--- Testing ADB connection... ---", "--- Test de connexion ADB... ---"};
const Message Unauthorized{"Connection failed: Device unauthorized (check phone screen).",
                           "Échec de connexion : Appareil non autorisé (vérifiez l'écran du téléphone)."};
const Message NoDevice{"Connection failed: No device found. Check ADB instructions.",
                       "Échec de connexion : Aucun appareil trouvé. Vérifiez les instructions ADB."};
const Message ChoosePhone{"Several phones are connected. Which one should be read?",
                          "Plusieurs téléphones sont connectés. Lequel faut-il lire ?"};
const Message NoneChosen{"Connection failed: no phone chosen.", "Échec de connexion : aucun téléphone choisi."};
const Message PhoneInUse{"Phone in use: %1", "Téléphone utilisé : %1"};
const Message Connected{"ADB CONNECTION: Success! Device found and authorized. ✔",
                        "CONNEXION ADB : Succès ! Appareil trouvé et autorisé. ✔"};

const LogStyle HeadingStyle{logcolor::Maroon, 10, false};
const LogStyle FailureStyle{logcolor::Red, 10, true};
const LogStyle SuccessStyle{logcolor::Green, 10, true};
const LogStyle PhoneInUseStyle{logcolor::Grey, 9, false};

const QRegularExpression& blanks() {
    static const QRegularExpression re(QStringLiteral("[ \\t]+"));
    return re;
}

// adb writes "serial TAB state"; a serial may hold blanks. A line without a tab ("adb devices -l" pads
// the serial with blanks) is cut at blanks instead.
QString stateOf(const QString& line) {
    const qsizetype tab = line.indexOf(u'\t');
    const QStringList fields = (tab < 0 ? line : line.mid(tab + 1)).split(blanks(), Qt::SkipEmptyParts);
    const qsizetype at = tab < 0 ? 1 : 0;
    return fields.size() > at ? fields[at] : QString();
}

QString serialOf(const QString& line) {
    const qsizetype tab = line.indexOf(u'\t');
    if (tab >= 0)
        return strlist::trim(QStringView(line).left(tab));
    return line.split(blanks(), Qt::SkipEmptyParts).value(0);
}

bool isUsableDeviceLine(const QString& line) {
    if (!strlist::containsNoCase(line, u"device") || strlist::containsNoCase(line, u"devices attached") ||
        strlist::containsNoCase(line, u"unauthorized"))
        return false;
    return strlist::equalsNoCase(stateOf(line), u"device") && !serialOf(line).isEmpty();
}

} // namespace

namespace bridge {

DeviceList readDevices(const QStringList& lines) {
    DeviceList list;
    bool listed = false;
    for (const QString& line : lines) {
        if (isUsableDeviceLine(line))
            list.usable.append(serialOf(line));
        // Under the header: one line per phone; adb's own "* daemon ..." lines may come in between.
        if (listed && !strlist::trim(line).isEmpty() && !line.startsWith(u'*') && !stateOf(line).isEmpty())
            ++list.attached;
        listed = listed || strlist::containsNoCase(line, u"devices attached");
    }
    list.attached = std::max(list.attached, list.usable.size());
    if (!list.usable.isEmpty())
        list.state = DeviceState::Usable;
    else if (strlist::containsNoCase(strlist::joined(lines), u"unauthorized"))
        list.state = DeviceState::Unauthorized;
    return list;
}

QString phoneLabel(const QStringList& detailLines, const QString& serial) {
    for (const QString& line : detailLines) {
        const QString trimmed = strlist::trim(line);
        if (!trimmed.startsWith(serial))
            continue;
        // Only usable phones are shown, so the serial is followed by blanks and the state "device".
        const QString rest = trimmed.mid(serial.size());
        const QStringList fields = rest.split(blanks(), Qt::SkipEmptyParts);
        if (!rest.startsWith(u' ') && !rest.startsWith(u'\t'))
            continue;
        if (!strlist::equalsNoCase(fields.value(0), u"device"))
            continue;
        for (const QString& field : fields)
            if (field.startsWith(u"model:") && field.size() > 6)
                return outsideText(field.mid(6).replace(u'_', u' ')) + u" ("_qs + serial + u')';
    }
    return serial;
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
    const bridge::DeviceList list = bridge::readDevices(output);
    switch (list.state) {
    case bridge::DeviceState::Usable:
        break;
    case bridge::DeviceState::Unauthorized:
        writeLine(text(Unauthorized), FailureStyle);
        return false;
    case bridge::DeviceState::NoDevice:
        writeLine(text(NoDevice), FailureStyle);
        return false;
    }
    // With one phone attached adb picks it by itself: the command lines stay as they always were.
    if (list.attached <= 1) {
        phones_.inUse.clear();
        return true;
    }
    return choosePhone(adb, list);
}

bool TForm13::choosePhone(const QString& adb, const bridge::DeviceList& list) {
    QString serial;
    if (list.usable.size() == 1)
        serial = list.usable.first();
    else if (list.usable.contains(phones_.chosen))
        serial = phones_.chosen;
    if (serial.isEmpty() || !phones_.labels.contains(serial)) {
        QStringList details;
        ExecuteADBCommand(catalogue::devicesWithDetails(adb), details);
        for (const QString& usable : list.usable)
            phones_.labels.insert(usable, bridge::phoneLabel(details, usable));
    }
    if (serial.isEmpty()) {
        QStringList entries;
        for (const QString& usable : list.usable)
            entries.append(phones_.labels.value(usable));
        const int chosen = dialogs::chooseItem(this, text(ChoosePhone), entries);
        if (chosen < 0) {
            writeLine(text(NoneChosen), FailureStyle);
            return false;
        }
        serial = phones_.chosen = list.usable[chosen];
    }
    phones_.inUse = serial;
    writeLine(text(PhoneInUse).arg(phones_.labels.value(serial)), PhoneInUseStyle);
    return true;
}

catalogue::Target TForm13::adbTarget() const {
    return {ADBPath(), phones_.inUse};
}

void TForm13::PanelConnectClick() {
    appendEmptyLine();
    if (!IsDeviceConnected())
        return;
    CurrentDirectory = files::ensureOutputFolder();
    writeLine(text(Connected), SuccessStyle);
}
