#include "bridge/host.h"

#include "base/errors.h"
#include "base/strlist.h"
#include "bridge/runner.h"

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
    QStringList output;
    runCommand(catalogue::devices(adb), output);
    // adb that printed nothing at all leaves no message.
    if (output.isEmpty())
        return false;
    const DeviceList list = readDevices(output);
    // A choice holds while its phone stays: once it has left, the phone may come back beside another.
    if (!list.usable.contains(choice_.chosen.serial))
        choice_.chosen = {};
    switch (list.state) {
    case DeviceState::Usable:
        break;
    case DeviceState::Unauthorized:
        write(Kind::Failure, text(Unauthorized));
        return false;
    case DeviceState::NoDevice:
        write(Kind::Failure, text(NoDevice));
        return false;
    }
    // With one phone attached adb picks it by itself: the command lines stay as they always were.
    if (list.attached <= 1) {
        choice_.inUse = {};
        return true;
    }
    const Listed listed = listPhones(adb, list);
    if (!listed.refusal.isEmpty()) {
        write(Kind::Failure, text(SameSerial).arg(listed.refusal));
        return false;
    }
    qsizetype chosen = listed.phones.size() == 1 ? 0 : listed.phones.indexOf(choice_.chosen);
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
                listed.refusal = serial;
                return listed;
            }
        }
        listed.phones.append(phone);
        listed.labels.append(phoneLabel(choice_.details, serial, occurrence));
        listed.models.append(phoneModel(choice_.details, serial, occurrence));
    }
    return listed;
}

QString Host::cancelledLine() const {
    return text(Cancelled);
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

int Host::runCommand(const QString& cmd, QStringList& output) {
    if (options().verbose)
        write(Kind::Echo, QStringLiteral("> ") + cmd);
    CommandResult result = run(cmd);
    output = std::move(result.lines);
    if (options().verbose)
        write(Kind::Echo, QStringLiteral("Output:\r\n") + strlist::joined(output));
    return result.exitCode;
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
