#include "wifi/wireless.h"

#include "base/errors.h"
#include "bridge/catalogue.h"
#include "bridge/connection.h"
#include "bridge/runner.h"

#include <QElapsedTimer>
#include <QHash>
#include <QMutex>

namespace wifi {

const Message BadAddress{"Not an address: \"%1\". Type %2, with a port from 1 to 65535; nothing was run.",
                         "Adresse invalide : « %1 ». Tapez %2, avec un port de 1 à 65535 ; rien n'a été lancé."};
const Message BadCode{"Not a pairing code: \"%1\". Type the six digits the phone shows; nothing was run.",
                      "Code d'association invalide : « %1 ». Tapez les six chiffres affichés par le téléphone ; rien "
                      "n'a été lancé."};

namespace {

using bridge::Kind;

const Message TooOld{"This adb (%1) cannot pair: pairing and finding phones over Wi-Fi need adb from Android SDK "
                     "Platform-Tools 30 or later. Switch the USB phone to Wi-Fi and Connect work with this adb.",
                     "Cet adb (%1) ne sait pas associer : l'association et la recherche des téléphones en Wi-Fi "
                     "demandent l'adb des Android SDK Platform-Tools 30 ou plus récent. Passer le téléphone USB en "
                     "Wi-Fi et Connecter fonctionnent avec cet adb."};
const Message UnknownRelease{"release unknown", "version inconnue"};
const Message QrHeading{"--- Pairing over Wi-Fi with a QR code ---", "--- Association Wi-Fi par code QR ---"};
const Message CodeHeading{"--- Pairing over Wi-Fi with a pairing code ---",
                          "--- Association Wi-Fi par code d'association ---"};
const Message ConnectHeading{"--- Connecting over Wi-Fi ---", "--- Connexion en Wi-Fi ---"};
const Message SwitchHeading{"--- Switching the USB phone to Wi-Fi ---", "--- Passage du téléphone USB en Wi-Fi ---"};
const Message DisconnectHeading{"--- Disconnecting over Wi-Fi ---", "--- Déconnexion Wi-Fi ---"};
const Message ScanQr{"On the phone: Developer options › Wireless debugging › Pair device with QR code, then scan "
                     "the code. Waiting for the phone, 2 minutes at most...",
                     "Sur le téléphone : Options pour les développeurs › Débogage sans fil › Associer l'appareil "
                     "avec un code QR, puis scannez le code. Attente du téléphone, 2 minutes au plus..."};
const Message NeverSeen{"The phone did not offer pairing within 2 minutes: check that it is on the same Wi-Fi "
                        "network as this computer, then show a new code.",
                        "Le téléphone n'a pas proposé d'association en 2 minutes : vérifiez qu'il est sur le même "
                        "réseau Wi-Fi que cet ordinateur, puis affichez un nouveau code."};
const Message NoMdns{"adb cannot look for phones over Wi-Fi: %1",
                     "adb ne peut pas chercher de téléphones en Wi-Fi : %1"};
const Message Pairing{"Pairing with %1...", "Association avec %1..."};
const Message PairFailed{"Pairing failed: %1", "Échec de l'association : %1"};
const Message Paired{"Paired with %1.", "Associé à %1."};
const Message Connecting{"Connecting to %1...", "Connexion à %1..."};
const Message ConnectFailed{"Connection over Wi-Fi failed: %1", "Échec de la connexion en Wi-Fi : %1"};
const Message PairFirst{"The phone wants to be paired first: pair it with a QR code or a pairing code.",
                        "Le téléphone demande d'abord une association : associez-le par code QR ou par code "
                        "d'association."};
const Message Connected{"Connected over Wi-Fi: %1 ✔", "Connecté en Wi-Fi : %1 ✔"};
const Message NotListed{"The phone is not listed as a usable device 10 s later: accept this computer's key on the "
                        "phone, or connect it with the address and port shown under Wireless debugging.",
                        "Le téléphone n'est pas listé comme appareil utilisable 10 s plus tard : acceptez la clef de "
                        "cet ordinateur sur le téléphone, ou connectez-le avec l'adresse et le port affichés sous "
                        "Débogage sans fil."};
const Message AlreadyWifi{"The phone in use is already on Wi-Fi: %1", "Le téléphone utilisé est déjà en Wi-Fi : %1"};
const Message NoWlan{"The phone has no Wi-Fi address: connect it to a Wi-Fi network first.",
                     "Le téléphone n'a pas d'adresse Wi-Fi : connectez-le d'abord à un réseau Wi-Fi."};
const Message Restarting{"The phone restarts adb in TCP mode on %1...",
                         "Le téléphone relance adb en mode TCP sur %1..."};
const Message TcpipFailed{"The phone could not switch to TCP mode: %1",
                          "Le téléphone n'a pas pu passer en mode TCP : %1"};
const Message NoRestart{"The phone did not answer over Wi-Fi within 10 s: %1",
                        "Le téléphone n'a pas répondu en Wi-Fi en 10 s : %1"};
const Message Unplug{"You can unplug the USB cable.", "Vous pouvez débrancher le câble USB."};
const Message Disconnected{"Disconnected: %1 ✔", "Déconnecté : %1 ✔"};
const Message EveryPhone{"every Wi-Fi phone", "tous les téléphones en Wi-Fi"};
const Message DisconnectFailed{"Disconnection failed: %1", "Échec de la déconnexion : %1"};
const Message Silent{"adb said nothing", "adb n'a rien dit"};

// Waits are counted in seconds between two looks: about one a second.
constexpr int PollMs = 1000;
constexpr int ListWaitPolls = 10;
constexpr int RestartWaitPolls = 10;

// Each operation's lines start after an empty one, as the connection test's do.
void heading(bridge::Host& host, const Message& message) {
    host.blank();
    host.write(Kind::Heading, host.text(message));
}

QString adbWords(const bridge::Host& host, const QString& line) {
    return line.isEmpty() ? host.text(Silent) : outsideText(line);
}

bool fail(bridge::Host& host, const Message& message) {
    host.write(Kind::Failure, host.text(message));
    return false;
}

// A failure in adb's own words.
bool fail(bridge::Host& host, const Message& message, const QString& line) {
    host.write(Kind::Failure, host.text(message).arg(adbWords(host, line)));
    return false;
}

// The usable phone that fits, as "Model (serial)"; empty while adb lists none.
QString listedPhone(bridge::Host& host, const QString& adb, const std::function<bool(const QString&)>& fits) {
    const QStringList details = host.ExecuteADBCommand(catalogue::devicesWithDetails(adb));
    for (const QString& serial : bridge::readDevices(details).usable)
        if (fits(serial))
            return bridge::phoneLabel(details, serial);
    return {};
}

bool connected(bridge::Host& host, const QString& label) {
    host.write(Kind::Success, host.text(Connected).arg(label));
    return true;
}

// A phone just connected to is usable once adb lists it as a device (a new key may wait on the phone's screen).
bool waitListed(bridge::Host& host, const QString& adb, const QString& serial) {
    for (int poll = 0; poll < ListWaitPolls; ++poll) {
        if (poll > 0)
            host.pause(PollMs);
        if (const QString label = listedPhone(host, adb, [&](const QString& s) { return s == serial; });
            !label.isEmpty())
            return connected(host, label);
    }
    return fail(host, NotListed);
}

// The serial adb gives the phone it connected to: the address in its line, "[already ]connected to <address>".
QString connectedSerial(const Answer& answer) {
    return answer.line.section(u"connected to "_qs, 1);
}

// After pairing, adb connects by itself to a phone it sees offering its connect service (named by the pairing's
// guid, and so is the phone's serial then); else the phone is connected to at that service's address.
bool connectPaired(bridge::Host& host, const QString& adb, const QString& guid) {
    QString serial;
    for (int poll = 0; poll < ListWaitPolls; ++poll) {
        if (poll > 0)
            host.pause(PollMs);
        const QString label = listedPhone(host, adb, [&](const QString& s) {
            return (!guid.isEmpty() && s.startsWith(guid + u'.')) || (!serial.isEmpty() && s == serial);
        });
        if (!label.isEmpty())
            return connected(host, label);
        if (!serial.isEmpty() || guid.isEmpty())
            continue;
        for (const Service& service : readServices(host.ExecuteADBCommand(catalogue::mdnsServices(adb))).services) {
            const std::optional<Address> address = readAddress(service.address, 0);
            if (service.type != ConnectService || service.name != guid || !address)
                continue;
            host.write(Kind::Progress, host.text(Connecting).arg(address->text()));
            if (const Answer answer = readConnect(host.ExecuteADBCommand(catalogue::connect(adb, address->text())));
                answer.ok)
                serial = connectedSerial(answer);
            break;
        }
    }
    return fail(host, NotListed);
}

bool pairAndConnect(bridge::Host& host, const QString& adb, const Address& address, const QString& code) {
    host.write(Kind::Progress, host.text(Pairing).arg(address.text()));
    const Answer answer = readPair(host.ExecuteADBCommand(catalogue::pair(adb, address.text(), code)));
    if (!answer.ok)
        return fail(host, PairFailed, answer.line);
    host.write(Kind::Detail, host.text(Paired).arg(address.text()));
    return connectPaired(host, adb, pairedGuid(answer.line));
}

} // namespace

QString pairingRefusal(bridge::Host& host) {
    static QMutex mutex;
    static QHash<QString, Release> releases;
    const QString adb = ADBPath();
    QMutexLocker lock(&mutex);
    if (!releases.contains(adb)) {
        lock.unlock();
        const Release release = readVersion(host.ExecuteADBCommand(catalogue::version(adb)));
        lock.relock();
        releases.insert(adb, release);
    }
    const Release release = releases.value(adb);
    if (release.major >= PairingRelease)
        return {};
    return host.text(TooOld).arg(release.text.isEmpty() ? host.text(UnknownRelease) : outsideText(release.text));
}

bool PairWithQrCode(bridge::Host& host, const QrPairing& pairing, const std::function<void()>& showCode,
                    std::chrono::milliseconds limit) {
    heading(host, QrHeading);
    if (const QString refusal = pairingRefusal(host); !refusal.isEmpty()) {
        host.write(Kind::Failure, refusal);
        return false;
    }
    const QString adb = ADBPath();
    if (const Answer check = readMdnsCheck(host.ExecuteADBCommand(catalogue::mdnsCheck(adb))); !check.ok)
        return fail(host, NoMdns, check.line);
    showCode();
    host.write(Kind::Notice, host.text(ScanQr));
    QElapsedTimer waited;
    waited.start();
    while (true) {
        const Services services = readServices(host.ExecuteADBCommand(catalogue::mdnsServices(adb)));
        if (!services.complaint.isEmpty())
            return fail(host, NoMdns, services.complaint);
        for (const Service& service : services.services)
            if (const std::optional<Address> address = readAddress(service.address, 0);
                address && service.type == PairingService && service.name == pairing.name)
                return pairAndConnect(host, adb, *address, pairing.password);
        const qint64 left = limit.count() - waited.elapsed();
        if (left <= 0)
            return fail(host, NeverSeen);
        host.pause(int(std::min<qint64>(PollMs, left)));
    }
}

bool PairWithCode(bridge::Host& host, const Address& address, const QString& code) {
    heading(host, CodeHeading);
    if (const QString refusal = pairingRefusal(host); !refusal.isEmpty()) {
        host.write(Kind::Failure, refusal);
        return false;
    }
    return pairAndConnect(host, ADBPath(), address, code);
}

bool Connect(bridge::Host& host, const Address& address) {
    heading(host, ConnectHeading);
    const QString adb = ADBPath();
    host.write(Kind::Progress, host.text(Connecting).arg(address.text()));
    const Answer answer = readConnect(host.ExecuteADBCommand(catalogue::connect(adb, address.text())));
    if (!answer.ok) {
        fail(host, ConnectFailed, answer.line);
        if (wantsPairing(answer.line))
            host.write(Kind::Hint, host.text(PairFirst));
        return false;
    }
    return waitListed(host, adb, connectedSerial(answer));
}

bool SwitchToWifi(bridge::Host& host) {
    heading(host, SwitchHeading);
    if (!host.IsDeviceConnected())
        return false;
    const catalogue::Target phone = host.adbTarget();
    if (phone.serial.contains(u':') || phone.serial.contains(u"._tcp"))
        return fail(host, AlreadyWifi, phone.serial);
    QString ip = wlanAddress(host.ExecuteADBCommand(catalogue::ipRoute(phone)));
    if (ip.isEmpty())
        ip = wlanAddress(host.ExecuteADBCommand(catalogue::wlanAddress(phone)));
    if (ip.isEmpty())
        return fail(host, NoWlan);
    const QString address = Address{ip, TcpPort}.text();
    host.write(Kind::Progress, host.text(Restarting).arg(address));
    if (const Answer answer = readTcpip(host.ExecuteADBCommand(catalogue::tcpip(phone, TcpPort))); !answer.ok)
        return fail(host, TcpipFailed, answer.line);
    // adb on the phone refuses connections until it listens again, a second or two later.
    Answer answer;
    for (int poll = 0; poll < RestartWaitPolls && !answer.ok; ++poll) {
        host.pause(PollMs);
        answer = readConnect(host.ExecuteADBCommand(catalogue::connect(phone.adb, address)));
    }
    if (!answer.ok)
        return fail(host, NoRestart, answer.line);
    if (!waitListed(host, phone.adb, connectedSerial(answer)))
        return false;
    host.write(Kind::Hint, host.text(Unplug));
    return true;
}

bool Disconnect(bridge::Host& host, const std::optional<Address>& address) {
    heading(host, DisconnectHeading);
    const QString target = address ? address->text() : QString();
    const Answer answer = readDisconnect(host.ExecuteADBCommand(catalogue::disconnect(ADBPath(), target)));
    if (!answer.ok)
        return fail(host, DisconnectFailed, answer.line);
    host.write(Kind::Success, host.text(Disconnected).arg(address ? target : host.text(EveryPhone)));
    return true;
}

} // namespace wifi
