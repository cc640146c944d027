#pragma once

#include <QString>
#include <QStringList>

#include <vector>

namespace wifi {

// A QR code's modules, made by the QR library (kept out of every other file): size × size modules, each
// dark or light, without the quiet zone around them.
class QrCode {
public:
    explicit QrCode(const QString& text);
    // False when the text does not fit in a QR code.
    bool isValid() const { return size_ > 0; }
    int size() const { return size_; }
    // Outside the code a module is light, as the quiet zone is.
    bool dark(int x, int y) const;

private:
    int size_ = 0;
    std::vector<bool> modules_;
};

// The quiet zone, in modules, that a reader needs on each side.
inline constexpr int QuietZone = 4;
// The code for a terminal, two rows of modules a line in Unicode half blocks, the light modules drawn and
// the dark ones left blank, the quiet zone drawn too: light on a dark terminal, the code as printed; dark on
// a light one, the code inverted, which the phone's reader takes as well.
QStringList halfBlockLines(const QrCode& code);

// What the QR code of a pairing says: a service name "telvane-" and six letters or digits, and a password,
// both from the system's random source, so that no other program can guess them.
struct QrPairing {
    QString name;
    QString password;
    // WIFI:T:ADB;S:<name>;P:<password>;;
    QString text() const;
};
QrPairing newQrPairing();

} // namespace wifi
