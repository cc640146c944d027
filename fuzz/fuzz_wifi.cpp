// adb's answers to the wireless commands, what the user types, and the QR code's lines in the terminal.
#include "base/strlist.h"
#include "fuzzcheck.h"
#include "wifi/answers.h"
#include "wifi/qrcode.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString text = textOf(data, size);
    const QStringList lines = strlist::fromText(text);
    for (const wifi::Answer& answer : {wifi::readConnect(lines), wifi::readPair(lines), wifi::readDisconnect(lines),
                                       wifi::readTcpip(lines), wifi::readMdnsCheck(lines)}) {
        require(isTrimmed(answer.line) && !answer.line.startsWith(u'*'), "adb's line, not its server's");
        require(answer.line.isEmpty() || lines.join(u'\n').contains(answer.line), "a line adb wrote");
    }
    const wifi::Services services = wifi::readServices(lines);
    require(services.services.isEmpty() || services.complaint.isEmpty(), "services or a complaint");
    for (const wifi::Service& service : services.services)
        require(isTrimmed(service.name) && service.type.startsWith(u'_') && !service.address.contains(u' '),
                "a name, a type and an address");
    const wifi::Release release = wifi::readVersion(lines);
    require(release.major == release.text.section(u'.', 0, 0).toInt(), "the release's first number");
    if (const QString ip = wifi::wlanAddress(lines); !ip.isEmpty())
        require(wifi::readAddress(ip, wifi::TcpPort).has_value(), "an IPv4 address");
    for (const QString& line : lines) {
        if (const std::optional<wifi::Address> address = wifi::readAddress(line, wifi::TcpPort)) {
            require(address->port >= 1 && address->port <= 65535, "a port from 1 to 65535");
            require(wifi::readAddress(address->text(), 0) == address, "its text reads back the same");
        }
    }
    // A quiet zone of light modules all around: the first and last lines are full blocks.
    const wifi::QrCode code(text.left(200));
    require(code.isValid(), "200 characters fit in a QR code");
    const QStringList drawn = wifi::halfBlockLines(code);
    require(drawn.size() == (code.size() + 2 * wifi::QuietZone + 1) / 2, "two rows of modules a line");
    for (const QString& edge : {drawn.first(), drawn.last()})
        require(edge == QString(edge.size(), u'█'), "light modules above and below the code");
    return 0;
}
