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
const Message SameSerial{"Connection failed: two phones report the same serial (%1).",
                         "Échec de connexion : deux téléphones indiquent le même numéro de série (%1)."};
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

// The fields after the serial on the line of a usable phone in "adb devices -l", the occurrence-th of
// that serial; none when it is not listed.
QStringList detailFields(const QStringList& detailLines, const QString& serial, qsizetype occurrence) {
    for (const QString& line : detailLines) {
        const QString trimmed = strlist::trim(line);
        if (!trimmed.startsWith(serial))
            continue;
        // Only usable phones are shown, so the serial is followed by blanks and the state "device".
        const QString rest = trimmed.mid(serial.size());
        const QStringList fields = rest.split(blanks(), Qt::SkipEmptyParts);
        if (!rest.startsWith(u' ') && !rest.startsWith(u'\t'))
            continue;
        if (strlist::equalsNoCase(fields.value(0), u"device") && occurrence-- == 0)
            return fields;
    }
    return {};
}

// The value of the first "name:value" field, empty when there is none.
QString fieldValue(const QStringList& fields, QStringView name) {
    for (const QString& field : fields)
        if (field.startsWith(name) && field.size() > name.size())
            return field.mid(name.size());
    return {};
}

// What adb says when it reached no phone or not the one meant, in its old spellings ("error: ...") and new.
const QRegularExpression& complaints() {
    static const QRegularExpression re(
        QStringLiteral("^(adb|error): (device '.*' not found|device not found|no device with transport id '.*'"
                       "|more than one (device/emulator|device and emulator|device|emulator)"
                       "|no (devices/emulators|devices|emulators) found|device offline|device unauthorized.*"
                       "|device still authorizing|insufficient permissions for device.*|closed)$"));
    return re;
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
    QStringList serials;
    for (const QString& line : lines) {
        if (isUsableDeviceLine(line))
            list.usable.append(serialOf(line));
        // Under the header: one line per phone; adb's own "* daemon ..." lines may come in between.
        if (listed && !strlist::trim(line).isEmpty() && !line.startsWith(u'*') && !stateOf(line).isEmpty()) {
            ++list.attached;
            const QString serial = serialOf(line);
            if (serials.contains(serial) && !list.shared.contains(serial))
                list.shared.append(serial);
            serials.append(serial);
        }
        listed = listed || strlist::containsNoCase(line, u"devices attached");
    }
    list.attached = std::max(list.attached, list.usable.size());
    if (!list.usable.isEmpty())
        list.state = DeviceState::Usable;
    else if (strlist::containsNoCase(strlist::joined(lines), u"unauthorized"))
        list.state = DeviceState::Unauthorized;
    return list;
}

QString phoneLabel(const QStringList& detailLines, const QString& serial, qsizetype occurrence) {
    QString model = fieldValue(detailFields(detailLines, serial, occurrence), u"model:");
    return model.isEmpty() ? serial : outsideText(model.replace(u'_', u' ')) + u" ("_qs + serial + u')';
}

QString transportId(const QStringList& detailLines, const QString& serial, qsizetype occurrence) {
    const QString id = fieldValue(detailFields(detailLines, serial, occurrence), u"transport_id:");
    // It goes on a command line: digits only.
    return std::all_of(id.begin(), id.end(), [](QChar c) { return c >= u'0' && c <= u'9'; }) ? id : QString();
}

QString adbComplaint(const QStringList& lines, int exitCode) {
    if (exitCode == 0)
        return {};
    for (const QString& line : lines) {
        const QString trimmed = strlist::trim(line);
        if (trimmed.isEmpty() || trimmed.startsWith(u'*'))
            continue;
        return complaints().match(trimmed).hasMatch() ? trimmed : QString();
    }
    return {};
}

} // namespace bridge

bool TForm13::IsDeviceConnected() {
    const QString adb = ADBPath();
    writeLine(text(Heading), HeadingStyle);
    appendEmptyLine();
    QStringList output;
    runCommand(catalogue::devices(adb), output);
    // adb that printed nothing at all leaves no message.
    if (output.isEmpty())
        return false;
    const bridge::DeviceList list = bridge::readDevices(output);
    // A choice holds while its phone stays: once it has left, the phone may come back beside another.
    if (!list.usable.contains(phones_.chosen.serial))
        phones_.chosen = {};
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
        phones_.inUse = {};
        return true;
    }
    return choosePhone(adb, list);
}

bool TForm13::choosePhone(const QString& adb, const bridge::DeviceList& list) {
    // adb's details (models, transport ids) are read again whenever the usable phones change.
    if (phones_.details.isEmpty() || phones_.listed != list.usable) {
        runCommand(catalogue::devicesWithDetails(adb), phones_.details);
        phones_.listed = list.usable;
    }
    QList<bridge::Phone> phones;
    QStringList labels;
    for (qsizetype i = 0; i < list.usable.size(); ++i) {
        const QString& serial = list.usable[i];
        const qsizetype occurrence = list.usable.first(i).count(serial);
        bridge::Phone phone{serial, {}};
        // -s cannot tell two phones of one serial apart; adb's transport id can.
        if (list.shared.contains(serial)) {
            phone.transportId = bridge::transportId(phones_.details, serial, occurrence);
            if (phone.transportId.isEmpty()) {
                writeLine(text(SameSerial).arg(serial), FailureStyle);
                return false;
            }
        }
        phones.append(phone);
        labels.append(bridge::phoneLabel(phones_.details, serial, occurrence));
    }
    qsizetype chosen = phones.size() == 1 ? 0 : phones.indexOf(phones_.chosen);
    if (chosen < 0) {
        chosen = dialogs::chooseItem(this, text(ChoosePhone), labels);
        if (chosen < 0) {
            writeLine(text(NoneChosen), FailureStyle);
            return false;
        }
        phones_.chosen = phones[chosen];
    }
    phones_.inUse = phones[chosen];
    writeLine(text(PhoneInUse).arg(labels[chosen]), PhoneInUseStyle);
    return true;
}

catalogue::Target TForm13::adbTarget() const {
    return {ADBPath(), phones_.inUse.serial, phones_.inUse.transportId};
}

void TForm13::PanelConnectClick() {
    appendEmptyLine();
    if (!IsDeviceConnected())
        return;
    CurrentDirectory = files::ensureOutputFolder();
    writeLine(text(Connected), SuccessStyle);
}
