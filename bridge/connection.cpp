#include "bridge/connection.h"

#include "base/errors.h"
#include "base/strlist.h"

#include <QRegularExpression>

#include <algorithm>

namespace {

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

QString phoneModel(const QStringList& detailLines, const QString& serial, qsizetype occurrence) {
    return fieldValue(detailFields(detailLines, serial, occurrence), u"model:");
}

QString phoneLabel(const QStringList& detailLines, const QString& serial, qsizetype occurrence) {
    QString model = phoneModel(detailLines, serial, occurrence);
    return model.isEmpty() ? serial : outsideText(model.replace(u'_', u' ')) + u" ("_qs + serial + u')';
}

QString transportId(const QStringList& detailLines, const QString& serial, qsizetype occurrence) {
    const QString id = fieldValue(detailFields(detailLines, serial, occurrence), u"transport_id:");
    // It goes on a command line: digits only.
    return std::all_of(id.begin(), id.end(), [](QChar c) { return c >= u'0' && c <= u'9'; }) ? id : QString();
}

bool isNetworkSerial(const QString& serial) {
    static const QRegularExpression address(QStringLiteral("^[^\\s:]+:\\d{1,5}$"));
    return !serialInWirelessName(serial).isEmpty() || address.match(serial).hasMatch();
}

QString serialInWirelessName(const QString& serial) {
    static const QRegularExpression name(QStringLiteral("^adb-(.+)-[^-]+\\._adb-tls-connect\\._tcp\\.?$"));
    return name.match(serial).captured(1);
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
