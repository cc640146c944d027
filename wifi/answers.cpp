#include "wifi/answers.h"

#include "base/strlist.h"

#include <QRegularExpression>

namespace wifi {

namespace {

// adb's own lines about starting its server ("* daemon ...") come before its answer.
QStringList meaningful(const QStringList& lines) {
    QStringList kept;
    for (const QString& line : lines)
        if (const QString trimmed = strlist::trim(line); !trimmed.isEmpty() && !trimmed.startsWith(u'*'))
            kept.append(trimmed);
    return kept;
}

// Success when a line starts with one of the prefixes; that line, or else adb's first line, is the verdict.
Answer readAnswer(const QStringList& lines, std::initializer_list<QStringView> successes) {
    const QStringList kept = meaningful(lines);
    for (const QString& line : kept)
        for (const QStringView success : successes)
            if (line.startsWith(success))
                return {true, line};
    return {false, kept.value(0)};
}

} // namespace

Answer readConnect(const QStringList& lines) {
    return readAnswer(lines, {u"connected to ", u"already connected to "});
}

Answer readPair(const QStringList& lines) {
    return readAnswer(lines, {u"Successfully paired to "});
}

QString pairedGuid(const QString& line) {
    static const QRegularExpression guid(QStringLiteral("\\[guid=([^\\]\\s]+)\\]"));
    return guid.match(line).captured(1);
}

Answer readDisconnect(const QStringList& lines) {
    return readAnswer(lines, {u"disconnected "});
}

Answer readTcpip(const QStringList& lines) {
    return readAnswer(lines, {u"restarting in TCP mode"});
}

Answer readMdnsCheck(const QStringList& lines) {
    const QStringList kept = meaningful(lines);
    for (const QString& line : kept)
        if (strlist::startsWithNoCase(line, u"error") || line.startsWith(u"adb: ") || line.contains(u"unavailable"))
            return {false, line};
    return {true, kept.value(0)};
}

bool wantsPairing(const QString& line) {
    return line.startsWith(u"failed to authenticate");
}

Services readServices(const QStringList& lines) {
    // The type is the one word shaped like a service type; before it the name (without the control characters
    // that may end it, which no blank takes), after it the address.
    static const QRegularExpression service(QStringLiteral("^(.+?)\\s+(_[A-Za-z0-9-]+\\._(?:tcp|udp))\\s+(\\S+)$"));
    Services read;
    bool listed = false;
    for (const QString& line : meaningful(lines)) {
        if (!listed) {
            listed = line.startsWith(u"List of discovered mdns services");
            if (!listed && read.complaint.isEmpty())
                read.complaint = line;
            continue;
        }
        if (const QRegularExpressionMatch match = service.match(line); match.hasMatch())
            read.services.append({strlist::trim(match.captured(1)), match.captured(2), match.captured(3)});
    }
    if (listed)
        read.complaint.clear();
    return read;
}

Release readVersion(const QStringList& lines) {
    static const QRegularExpression version(QStringLiteral("^Version ((\\d{1,4})\\.\\S*)"));
    for (const QString& line : meaningful(lines))
        if (const QRegularExpressionMatch match = version.match(line); match.hasMatch())
            return {match.captured(1), match.captured(2).toInt()};
    return {};
}

QString wlanAddress(const QStringList& lines) {
    static const QRegularExpression ipv4(
        QStringLiteral("^((25[0-5]|2[0-4]\\d|1?\\d?\\d)\\.){3}(25[0-5]|2[0-4]\\d|1?\\d?\\d)$"));
    static const QRegularExpression blanks(QStringLiteral("\\s+"));
    for (const QString& line : lines) {
        const QStringList words = strlist::trim(line).split(blanks);
        const qsizetype dev = words.indexOf(u"dev"_qs);
        const qsizetype src = words.indexOf(u"src"_qs);
        QString address;
        if (dev >= 0 && src >= 0 && words.value(dev + 1).startsWith(u"wlan"))
            address = words.value(src + 1);
        else if (words.value(0) == u"inet")
            address = words.value(1).section(u'/', 0, 0);
        if (ipv4.match(address).hasMatch())
            return address;
    }
    return {};
}

QString Address::text() const {
    return (host.contains(u':') ? u'[' + host + u']' : host) + u':' + QString::number(port);
}

std::optional<Address> readAddress(QStringView text, int defaultPort) {
    static const QRegularExpression address(
        QStringLiteral("^(?:\\[([0-9A-Fa-f:.]*:[0-9A-Fa-f:.]*)\\]|([A-Za-z0-9](?:[A-Za-z0-9.-]*[A-Za-z0-9])?))"
                       "(?::(\\d{1,5}))?$"));
    const QRegularExpressionMatch match = address.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    const int port = match.hasCaptured(3) ? match.captured(3).toInt() : defaultPort;
    if (port < 1 || port > 65535)
        return std::nullopt;
    return Address{match.hasCaptured(1) ? match.captured(1) : match.captured(2), port};
}

bool isPairingCode(QStringView text) {
    static const QRegularExpression code(QStringLiteral("^[0-9]{6}$"));
    return code.match(text).hasMatch();
}

} // namespace wifi
