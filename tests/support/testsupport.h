#pragma once

#include "app/tform13.h"
#include "base/errors.h"
#include "ui/dialogs.h"

#include <QColor>
#include <QEvent>
#include <QList>
#include <QString>
#include <QTcpServer>
#include <QTemporaryDir>

#include <functional>
#include <memory>

class TextPane;
class QWidget;

namespace testsupport {

// The answer files of the RAW dump's six reports in a recorded profile, in the dump's order.
inline constexpr const char* ReportSlugs[] = {"shell-dumpsys-battery",
                                              "shell-dumpsys-thermalservice",
                                              "shell-dumpsys-sensorservice",
                                              "shell-dumpsys-cpuinfo",
                                              "shell-getprop",
                                              "shell-dumpsys-wifi"};

// Path of a file in tests/data.
QString dataPath(const QString& relative);
// Reads a file of tests/data whole.
QByteArray dataBytes(const QString& relative);
// Every file below a folder, hidden ones too, relative to it and sorted.
QStringList filesBelow(const QString& folder);

// A fresh, empty HOME for one test: the desktop (and so the output folder) lives inside it.
class FreshHome {
public:
    FreshHome();
    ~FreshHome();
    FreshHome(const FreshHome&) = delete;
    FreshHome& operator=(const FreshHome&) = delete;
    QString path() const { return dir_.path(); }
    QString outputFolder() const;

private:
    QTemporaryDir dir_;
    QByteArray oldHome_;
    QByteArray oldDrive_;
    QByteArray oldPath_;
};

// Answers every modal dialog instead of a person while it lives, and remembers what was shown.
// Dialogs that ask get the queued answers in order (a null QString is Cancel or No), then Cancel or No.
class DialogRecorder {
public:
    DialogRecorder();
    ~DialogRecorder();
    DialogRecorder(const DialogRecorder&) = delete;
    DialogRecorder& operator=(const DialogRecorder&) = delete;
    void queueAnswer(const QString& answer) { answers_.append(answer); }
    const QList<dialogs::Request>& shown() const { return shown_; }
    QStringList errors() const;
    void clear() { shown_.clear(); }
    // Steps aside so that a test can drive a real dialog, and comes back.
    void setEnabled(bool enabled);

private:
    QList<dialogs::Request> shown_;
    QStringList answers_;
};

// Runs act on the next modal dialog that opens (the real one: see DialogRecorder::setEnabled), once;
// act must close it.
void onNextModal(const std::function<void(QWidget*)>& act);

// Counts the events of one type that reach a target while it lives.
class EventCounter : public QObject {
public:
    EventCounter(QObject* target, QEvent::Type type, int& count);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QEvent::Type type_;
    int& count_;
};

// The simulated phone answers from this profile of tests/data/profiles (modern, oldos, nophone, ...)
// until another is chosen.
void useProfile(const QString& name);

// Records the command lines the simulated phone receives, and keeps its wireless state (see
// tests/data/profiles/README.md), while it lives; put writes one of the state's files, as the phone would.
class SimLog {
public:
    SimLog();
    ~SimLog();
    SimLog(const SimLog&) = delete;
    SimLog& operator=(const SimLog&) = delete;
    QStringList commands() const;
    void put(const QString& name, const QString& line) const;

private:
    QString path() const { return dir_.filePath(QStringLiteral("sim.log")); }
    QTemporaryDir dir_;
};

// The text of the QR code in the image, as Debian's zbarimg (zbar-tools) reads it, inverted codes too.
QString decodeQr(const QImage& image);
// A terminal's half-block lines drawn as an image: the glyphs light on dark, or dark on light.
QImage halfBlockImage(const QStringList& lines, bool lightGlyphs);

// Appearance of one line of a pane, taken from its first character (or from the empty line itself).
struct LineLook {
    QString text;
    QColor color;
    int size;
    bool bold;
};
LineLook lineLook(const TextPane* pane, int line);
QList<LineLook> lineLooks(const TextPane* pane);

// A web server on 127.0.0.1 that answers every request with the same raw HTTP response, recording
// the raw requests it got. It serves while the caller's thread runs an event loop (the update check does).
class HttpStub : public QObject {
public:
    HttpStub();
    quint16 port() const { return server_.serverPort(); }
    UpdateServer server() const { return {QStringLiteral("127.0.0.1"), port()}; }
    // The whole response, status line and headers included; an empty one means: accept and never answer.
    void setResponse(const QByteArray& raw) { response_ = raw; }
    // A 200 answer with this body and content type.
    void setBody(const QByteArray& body, const QByteArray& contentType = "text/plain");
    QList<QByteArray> requests() const { return requests_; }

private:
    QTcpServer server_;
    QByteArray response_;
    QList<QByteArray> requests_;
};

// The update server windows under test talk to unless a test wants another: it serves "2.0.15",
// the version we run, so no notice and no dialog appears.
UpdateServer quietUpdateServer();

// The best of three timed runs of work, in milliseconds, events included; prepare runs untimed before each.
qint64 bestOfThreeMs(const std::function<void()>& work, const std::function<void()>& prepare = {});

// A click with the mouse in the middle of a widget, as a user would do it.
void click(QWidget* widget);

} // namespace testsupport
