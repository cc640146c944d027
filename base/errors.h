#pragma once

#include <QString>
#include <QStringView>

#include <stdexcept>
#include <string>

// An error that ends a handler and reaches the general error report; the message is kept as UTF-8, in English
// and, when it was given, in French.
class TelvaneError : public std::runtime_error {
public:
    explicit TelvaneError(const QString& message) : std::runtime_error(message.toStdString()) {}
    TelvaneError(const QString& english, const QString& french)
        : std::runtime_error(english.toStdString()), french_(french.toStdString()) {}
    QString message() const { return QString::fromStdString(what()); }
    QString message(bool langFR) const {
        return langFR && !french_.empty() ? QString::fromStdString(french_) : message();
    }

private:
    std::string french_;
};

// The user stopped the operation while a command ran (Esc, or closing the window): it ends there, and
// the window says so in the log.
class OperationCancelled : public std::exception {};

// adb reached no phone, or not the one meant, in the middle of an operation: it ends there, and the window
// shows adb's own line.
class PhoneLost : public std::exception {
public:
    explicit PhoneLost(const QString& adbLine) : adbLine_(adbLine) {}
    const QString& adbLine() const { return adbLine_; }

private:
    QString adbLine_;
};

// The text of the error report: the message with a full stop appended, unless its last character's code
// is no higher than that of the full stop.
QString errorReportText(const QString& message);

// The system's error code of the file operation that just failed: errno, on Windows the thread's last error.
int lastFileError();
// What the system says of a failed file operation (lastFileError()) or stream write (errno), in the interface
// language for the usual causes (a full disk, no permission, a read-only disk, a file another program holds
// open), otherwise in the system's own words.
QString fileErrorText(int code, bool langFR);
QString streamErrorText(int errnoCode, bool langFR);

// Text that comes from outside (a server's answer, a phone's output), cut to 300 characters and "…" so
// that it cannot fill a dialog.
QString outsideText(QStringView text);
