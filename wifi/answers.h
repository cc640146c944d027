#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// What adb answers to the wireless commands, read from its words: "adb connect" exits 0 when it fails too,
// and old releases print their failures on standard output with status 0, new ones on standard error with
// status 1 (both reach us merged). Also the checks of what the user types.
namespace wifi {

// adb's verdict on one command: whether it did what was asked, and its line that says so (or why not),
// as adb wrote it; empty when adb said nothing.
struct Answer {
    bool ok = false;
    QString line;
};

// "connected to" and "already connected to" succeed; anything else ("failed to connect", "failed to
// authenticate", "cannot connect ... (10061)", "failed to resolve host", ...) fails.
Answer readConnect(const QStringList& lines);
// Only "Successfully paired to <address> [guid=<guid>]" succeeds.
Answer readPair(const QStringList& lines);
// The guid in adb's success line: the name the phone gives its _adb-tls-connect._tcp service; empty if none.
QString pairedGuid(const QString& line);
// "disconnected <address>" or "disconnected everything".
Answer readDisconnect(const QStringList& lines);
// "restarting in TCP mode port: <port>".
Answer readTcpip(const QStringList& lines);
// "mdns check" fails only on adb's own error line: some releases print nothing when all is well.
Answer readMdnsCheck(const QStringList& lines);
// Whether a failed connect is adb's "failed to authenticate": the phone wants pairing first.
bool wantsPairing(const QString& line);

// One service of "adb mdns services": its instance name (which may hold blanks, as in "adb-xxx (2)"),
// its type (_adb-tls-pairing._tcp, _adb-tls-connect._tcp, _adb._tcp) and its address.
struct Service {
    QString name;
    QString type;
    QString address;
};
// The services under adb's header line; lines that do not read as a service are left out. Without the
// header, complaint holds adb's line (an adb without mDNS, a server that cannot start).
struct Services {
    QList<Service> services;
    QString complaint;
};
Services readServices(const QStringList& lines);
inline constexpr QStringView PairingService = u"_adb-tls-pairing._tcp";
inline constexpr QStringView ConnectService = u"_adb-tls-connect._tcp";

// The release of adb's platform-tools in "adb version" ("Version 29.0.6-debian"); the first line
// ("Android Debug Bridge version 1.0.41") is the same from release 29 to 36. major is 0 when unknown.
struct Release {
    QString text;
    int major = 0;
};
Release readVersion(const QStringList& lines);
// Pairing and mDNS came with platform-tools 30.
inline constexpr int PairingRelease = 30;

// The phone's IPv4 address on Wi-Fi: the src of a wlan route in "ip route", or the inet address in
// "ip -f inet addr show wlan0"; empty when neither shows one.
QString wlanAddress(const QStringList& lines);

// HOST[:PORT] as the user or adb writes it: an IPv4 address or a host name, or an IPv6 address in brackets,
// and a port from 1 to 65535. defaultPort stands in for a missing port; 0 means a port is required.
struct Address {
    QString host;
    int port = 0;
    QString text() const;
    bool operator==(const Address&) const = default;
};
std::optional<Address> readAddress(QStringView text, int defaultPort);
inline constexpr int TcpPort = 5555;
// Six ASCII digits, as the phone shows them.
bool isPairingCode(QStringView text);

} // namespace wifi
