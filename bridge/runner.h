#pragma once

#include <QByteArray>
#include <QEventLoop>
#include <QObject>
#include <QProcess>
#include <QString>
#include <QStringDecoder>
#include <QStringList>

#include <cstdint>

// Where adb is: beside our own executable when an executable file of that name is there, else the bare
// name for the command interpreter's search path. Looked up anew by every operation.
QString ADBPath();

namespace bridge {

// Phones print UTF-8; anything that is not valid UTF-8 is read in the system's 8-bit code page.
// Zero bytes are dropped.
QString decodeOutput(QByteArray bytes);

// Decodes output and cuts it into lines as it arrives, piece by piece. An unfinished line, a CR whose LF
// may come next and an unfinished UTF-8 sequence wait for the next piece, so the lines are exactly those
// of the whole output decoded at once: strlist::fromText(decodeOutput(everything)).
class OutputLines {
public:
    void add(const QByteArray& piece);
    // The lines of everything added; the object is spent afterwards.
    QStringList finish();
    qint64 received() const { return received_; }

private:
    void cut(QByteArrayView bytes);
    void addLine(QByteArrayView bytes);
    void fallBackTo8Bit();

    QList<QByteArray> pieces_;
    bool eightBit_ = false;
    bool notUtf8_ = false;
    QStringList lines_;
    QByteArray partial_;
    bool afterCR_ = false;
    qint64 received_ = 0;
};

// One command line run with no standard input and no time limit: through /bin/sh -c in a process group of
// its own that ends with the program, or on Windows as the command line of adb.exe itself, in a job object
// that ends with the program. Standard output
// and standard error come back merged, in the order written, read while the command runs. The caller's
// events go on meanwhile (a local event loop), so the window keeps painting.
class CommandRun : public QObject {
    Q_OBJECT
public:
    // singleCommand: the line is one simple command, as every adb command line is.
    explicit CommandRun(const QString& cmd, bool singleCommand = false);
    ~CommandRun() override;

    // Returns when the command has ended or has been cancelled. A command that cannot be started gives
    // the single line "ERROR: CreateProcess failed for: " followed by the command line.
    void run();
    // Ends the command and everything it started; run() then returns without lines.
    void cancel();
    bool cancelled() const { return cancelled_; }
    // The command's exit status; -1 when it could not start or a signal ended it.
    int exitCode() const { return exitCode_; }
    QStringList takeLines();

Q_SIGNALS:
    void progressed(qint64 bytesReceived);

private:
    void readPiece();
    void endProcessGroup();
#ifdef Q_OS_WIN
    void joinJob();
    void* job_ = nullptr;
#endif

    QString cmd_;
    std::size_t slot_ = SIZE_MAX; // where the signal handlers find it
    QProcess process_;
    QEventLoop loop_;
    OutputLines output_;
    QStringList lines_;
    bool cancelled_ = false;
    int exitCode_ = -1;
};

// From now on SIGINT, SIGTERM and SIGHUP (on Windows Ctrl+C and the console's other events) end the commands
// that run and cancel every later one, instead of ending the program, which then ends as it sees fit.
void cancelOnSignals();
bool cancelledBySignal();

// Runs a command line to its end and returns its lines (see CommandRun).
QStringList runCommandLine(const QString& cmd);

} // namespace bridge
