#include "bridge/host.h"

#include "base/errors.h"
#include "base/files.h"
#include "base/strlist.h"
#include "bridge/runner.h"

#include <QCoreApplication>

#include <utility>

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
const Message Cancelled{"Operation cancelled.", "Opération annulée."};
const Message Lost{"Phone lost: %1", "Téléphone perdu : %1"};
const Message NoLongerListed{"adb no longer lists %1 as a usable phone",
                             "adb n'indique plus %1 comme téléphone utilisable"};
const Message AdbMissing{
    "Connection failed: adb was not found, neither in Telvane's folder (%1) nor on the PATH. %2",
    "Échec de connexion : adb est introuvable, ni dans le dossier de Telvane (%1) ni dans le PATH. %2"};
#ifdef Q_OS_WIN
const Message AdbRemedy{
    "Put adb.exe, with AdbWinApi.dll and AdbWinUsbApi.dll, from Android's SDK Platform-Tools in that "
    "folder or on the PATH.",
    "Placez adb.exe, avec AdbWinApi.dll et AdbWinUsbApi.dll, des SDK Platform-Tools d'Android dans "
    "ce dossier ou dans le PATH."};
#else
const Message AdbRemedy{"Install Debian's package adb (sudo apt install adb), or put adb in that folder.",
                        "Installez le paquet Debian adb (sudo apt install adb), ou placez adb dans ce dossier."};
#endif

} // namespace

namespace bridge {

void Host::writeLines(Kind kind, const QStringList& lines) {
    for (const QString& line : lines)
        write(kind, line);
}

bool Host::IsDeviceConnected() {
    const QString adb = ADBPath();
    write(Kind::Step, text(Heading));
    blank();
    if (!ADBFound()) {
        write(Kind::Failure,
              text(AdbMissing).arg(files::shown(QCoreApplication::applicationDirPath()), text(AdbRemedy)));
        return false;
    }
    QStringList output;
    runCommand(catalogue::devices(adb), output);
    // adb that printed nothing at all leaves no message.
    if (output.isEmpty())
        return false;
    const DeviceList list = readDevices(output);
    // A choice holds while its phone stays: once it has left, the phone may come back beside another.
    if (!list.usable.contains(choice_.chosen.serial))
        choice_.chosen = {};
    if (!bound_.serial.isEmpty() && !list.usable.contains(bound_.serial))
        throw PhoneLost(text(NoLongerListed).arg(bound_.serial));
    switch (list.state) {
    case DeviceState::Usable:
        return usePhone(adb, list);
    case DeviceState::Unauthorized:
        write(Kind::Failure, text(Unauthorized));
        return false;
    case DeviceState::NoDevice:
        write(Kind::Failure, text(NoDevice));
        return false;
    }
    return false;
}

// Every command of the operation names the phone it reads (-s, or -t for a serial that several report), so
// that none goes to another phone should this one leave.
bool Host::usePhone(const QString& adb, const DeviceList& list) {
    const Phone before = std::exchange(choice_.inUse, {});
    // With one phone attached there is nothing to choose: it is said only when another phone was read before.
    if (list.attached <= 1) {
        const Phone phone{list.usable.first(), {}};
        if (!before.serial.isEmpty() && before != phone && bound_.serial.isEmpty())
            write(Kind::Hint, text(PhoneInUse).arg(listPhones(adb, list).labels.value(0, phone.serial)));
        choice_.inUse = phone;
        return true;
    }
    const Listed listed = listPhones(adb, list);
    if (!listed.refused.isEmpty() && bound_.serial.isEmpty()) {
        write(Kind::Failure, refusedLine(listed.refused.first()));
        return false;
    }
    qsizetype chosen = listed.phones.indexOf(bound_.serial.isEmpty() ? choice_.chosen : bound_);
    if (!bound_.serial.isEmpty() && chosen < 0)
        throw PhoneLost(text(NoLongerListed).arg(bound_.serial));
    if (listed.phones.size() == 1)
        chosen = 0;
    if (chosen < 0) {
        chosen = choosePhone(text(ChoosePhone), listed.phones, listed.labels);
        if (chosen < 0 || chosen >= listed.phones.size()) {
            write(Kind::Failure, text(NoneChosen));
            return false;
        }
        choice_.chosen = listed.phones[chosen];
    }
    choice_.inUse = listed.phones[chosen];
    write(Kind::Hint, text(PhoneInUse).arg(listed.labels[chosen]));
    return true;
}

Host::Listed Host::listPhones(const QString& adb, const DeviceList& list) {
    // adb's details (models, transport ids) are read again whenever the usable phones change.
    if (choice_.details.isEmpty() || choice_.listed != list.usable) {
        runCommand(catalogue::devicesWithDetails(adb), choice_.details);
        choice_.listed = list.usable;
        choice_.serialNumbers.clear();
    }
    Listed listed;
    for (qsizetype i = 0; i < list.usable.size(); ++i) {
        const QString& serial = list.usable[i];
        const qsizetype occurrence = list.usable.first(i).count(serial);
        Phone phone{serial, {}};
        // -s cannot tell two phones of one serial apart; adb's transport id can.
        if (list.shared.contains(serial)) {
            phone.transportId = transportId(choice_.details, serial, occurrence);
            if (phone.transportId.isEmpty()) {
                if (!listed.refused.contains(serial))
                    listed.refused.append(serial);
                continue;
            }
        }
        listed.phones.append(phone);
        listed.labels.append(phoneLabel(choice_.details, serial, occurrence));
        listed.models.append(phoneModel(choice_.details, serial, occurrence));
    }
    dropTwins(adb, listed);
    return listed;
}

// A phone attached by cable and over Wi-Fi (or twice over Wi-Fi) is listed once, by its cable, the faster
// link: its Wi-Fi entries say whose they are in their mDNS name, or in the serial the phone gives.
void Host::dropTwins(const QString& adb, Listed& listed) {
    QStringList serials;
    for (const Phone& phone : std::as_const(listed.phones)) {
        QString own = serialInWirelessName(phone.serial);
        if (own.isEmpty() && isNetworkSerial(phone.serial)) {
            if (!choice_.serialNumbers.contains(phone.serial)) {
                QStringList said;
                const int exitCode = runCommand(catalogue::serialNumber({adb, phone.serial}), said);
                choice_.serialNumbers.insert(phone.serial,
                                             exitCode == 0 && said.size() == 1 ? strlist::trim(said[0]) : QString());
            }
            own = choice_.serialNumbers.value(phone.serial);
        }
        serials.append(own.isEmpty() ? phone.serial : own);
    }
    for (qsizetype i = listed.phones.size() - 1; i >= 0; --i) {
        if (!isNetworkSerial(listed.phones[i].serial))
            continue;
        for (qsizetype j = 0; j < listed.phones.size(); ++j)
            if (j != i && serials[j] == serials[i] && (!isNetworkSerial(listed.phones[j].serial) || j < i)) {
                listed.phones.removeAt(i);
                listed.labels.removeAt(i);
                listed.models.removeAt(i);
                serials.removeAt(i);
                break;
            }
    }
}

void Host::forgetPhone() {
    PhoneChoice fresh;
    fresh.inUse = choice_.inUse;
    choice_ = fresh;
}

QString Host::cancelledLine() const {
    return text(Cancelled);
}

QString Host::refusedLine(const QString& serial) const {
    return text(SameSerial).arg(serial);
}

QString Host::lostLine(const PhoneLost& lost) const {
    return text(Lost).arg(outsideText(lost.adbLine()));
}

catalogue::Target Host::adbTarget() const {
    return {ADBPath(), choice_.inUse.serial, choice_.inUse.transportId};
}

QStringList Host::ExecuteADBCommand(const QString& Cmd) {
    QStringList output;
    const int exitCode = runCommand(Cmd, output);
    if (const QString complaint = adbComplaint(output, exitCode); !complaint.isEmpty()) {
        forgetPhone();
        throw PhoneLost(complaint);
    }
    return output;
}

void Host::ExecuteADBCommands(const QStringList& Cmds, const std::function<void(qsizetype, QStringList&)>& landed) {
    CommandGroup group(Cmds, true);
    QList<QStringList> outputs(Cmds.size());
    QList<bool> ended(Cmds.size(), false);
    qsizetype nextToLand = 0;
    waitFor(group, [&](qsizetype i) {
        CommandRun& command = group.command(i);
        outputs[i] = command.takeLines();
        // The first complaint to come ends them all, whichever command it answers.
        if (const QString complaint = adbComplaint(outputs[i], command.exitCode()); !complaint.isEmpty()) {
            forgetPhone();
            throw PhoneLost(complaint);
        }
        ended[i] = true;
        for (; nextToLand < Cmds.size() && ended[nextToLand]; ++nextToLand) {
            if (options().verbose) {
                echo(Cmds[nextToLand]);
                echoOutput(outputs[nextToLand]);
            }
            landed(nextToLand, outputs[nextToLand]);
        }
    });
}

QList<QStringList> Host::ExecuteADBCommands(const QStringList& Cmds) {
    QList<QStringList> outputs(Cmds.size());
    ExecuteADBCommands(Cmds, [&outputs](qsizetype i, QStringList& lines) { outputs[i] = std::move(lines); });
    return outputs;
}

void Host::stopIfCancelled() const {
    if (cancelledBySignal())
        throw OperationCancelled();
}

CommandResult Host::run(const QString& cmd) {
    CommandGroup group({cmd}, true);
    waitFor(group, [](qsizetype) {});
    return {group.command(0).takeLines(), group.command(0).exitCode()};
}

int Host::runCommand(const QString& cmd, QStringList& output) {
    if (options().verbose)
        echo(cmd);
    CommandResult result = run(cmd);
    output = std::move(result.lines);
    if (options().verbose)
        echoOutput(output);
    return result.exitCode;
}

void Host::echo(const QString& cmd) {
    write(Kind::Echo, QStringLiteral("> ") + cmd);
}

void Host::echoOutput(const QStringList& output) {
    write(Kind::Echo, QStringLiteral("Output:\r\n") + strlist::joined(output));
}

QString TestConnection(Host& host) {
    host.blank();
    if (!host.IsDeviceConnected())
        return {};
    const QString folder = host.outputFolder();
    host.write(Kind::Success, host.text(Connected));
    return folder;
}

} // namespace bridge
