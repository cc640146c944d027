#include "wifi/qrcode.h"

#include <QRandomGenerator>

#include <qrcodegen.hpp>

namespace wifi {

namespace {

// Letters and digits only: nothing in them needs quoting, neither in the QR text nor on adb's command line.
QString randomText(qsizetype length, QStringView alphabet) {
    QString text;
    for (qsizetype i = 0; i < length; ++i)
        text += alphabet[QRandomGenerator::system()->bounded(int(alphabet.size()))];
    return text;
}

} // namespace

QrCode::QrCode(const QString& text) {
    try {
        const qrcodegen::QrCode code =
            qrcodegen::QrCode::encodeText(text.toUtf8().constData(), qrcodegen::QrCode::Ecc::MEDIUM);
        size_ = code.getSize();
        modules_.reserve(size_t(size_ * size_));
        for (int y = 0; y < size_; ++y)
            for (int x = 0; x < size_; ++x)
                modules_.push_back(code.getModule(x, y));
    } catch (const qrcodegen::data_too_long&) {
        size_ = 0;
    }
}

bool QrCode::dark(int x, int y) const {
    return x >= 0 && y >= 0 && x < size_ && y < size_ && modules_[size_t(y * size_ + x)];
}

QStringList halfBlockLines(const QrCode& code) {
    // Each character holds a module above and one below: both light, the upper, the lower or neither.
    const QChar glyphs[] = {u'█', u'▀', u'▄', u' '};
    const int first = -QuietZone;
    const int end = code.size() + QuietZone;
    QStringList lines;
    for (int y = first; y < end; y += 2) {
        QString line;
        for (int x = first; x < end; ++x)
            line += glyphs[int(code.dark(x, y)) * 2 + int(code.dark(x, y + 1))];
        lines.append(line);
    }
    return lines;
}

QString QrPairing::text() const {
    return u"WIFI:T:ADB;S:"_qs + name + u";P:"_qs + password + u";;"_qs;
}

QrPairing newQrPairing() {
    const QStringView lower = u"abcdefghijklmnopqrstuvwxyz0123456789";
    const QStringView mixed = u"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    return {u"telvane-"_qs + randomText(6, lower), randomText(16, mixed)};
}

} // namespace wifi
