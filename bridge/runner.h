#pragma once

#include <QByteArray>
#include <QEventLoop>
#include <QObject>
#include <QProcess>
#include <QString>
#include <QStringDecoder>
#include <QStringList>

#include <cstdint>
#include <memory>
#include <vector>

// Where adb is: beside our own executable when an executable file of that name is there, else the bare
// name for the command interpreter's search path. Looked up anew by every operation.
QString ADBPath();
// Whether there is an adb to run: beside our own executable or on the search path.
bool ADBFound();

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
// that ends with the program. Standard output and standard error come back merged, in the order written,
// read while the command runs. Nothing here waits: CommandGroup waits on one or several commands.
class CommandRun : public QObject {
    Q_OBJECT
public:
    // singleCommand: the line is one simple command, as every adb command line is.
    explicit CommandRun(const QString& cmd, bool singleCommand = false);
    ~CommandRun() override;

    // Starts the command; ended() follows once it has ended. A command that cannot be started ends at once
    // with the single line "ERROR: CreateProcess failed for: " followed by the command line.
    void start();
    // Ends the command and everything it started; it then ends without lines.
    void cancel();
    bool isEnded() const { return ended_; }
    bool cancelled() const { return cancelled_; }
    // The command's exit status; -1 when it could not start or a signal ended it.
    int exitCode() const { return exitCode_; }
    QStringList takeLines();
    qint64 received() const { return output_.received(); }

Q_SIGNALS:
    void progressed(qint64 bytesReceived);
    void ended();

private:
    void readPiece();
    void finish();
    void end();
    void endProcessGroup();
#ifdef Q_OS_WIN
    void joinJobAndResume();
    void* job_ = nullptr;
#endif

    QString cmd_;
    void* started_ = nullptr; // on Windows, adb.exe's process and thread
    void* slot_ = nullptr;    // where the signal handlers find it
    QProcess process_;
    OutputLines output_;
    QStringList lines_;
    bool ended_ = false;
    bool cancelled_ = false;
    int exitCode_ = -1;
};

// Command lines run at once, as a phone answers several commands in parallel; each keeps its place. The
// caller's events go on while it waits (a local event loop), so the window keeps painting. Cancelling the
// group ends every command in it.
class CommandGroup : public QObject {
    Q_OBJECT
public:
    explicit CommandGroup(const QStringList& cmds, bool singleCommands = false);
    ~CommandGroup() override;

    // Starts the commands on the first call, then waits until one more has ended and gives its place; -1 once
    // all have ended, and from the moment the group is cancelled. The application quitting meanwhile
    // cancels the group: an unfinished command is never taken for a complete one.
    qsizetype next();
    void cancel();
    bool cancelled() const { return cancelled_; }
    qsizetype size() const { return qsizetype(runs_.size()); }
    CommandRun& command(qsizetype i) { return *runs_[size_t(i)]; }

Q_SIGNALS:
    // What all the commands printed so far.
    void progressed(qint64 bytesReceived);

private:
    std::vector<std::unique_ptr<CommandRun>> runs_;
    QList<qsizetype> endedUntold_;
    QEventLoop loop_;
    bool started_ = false;
    bool cancelled_ = false;
};

// From now on SIGINT, SIGTERM and SIGHUP (on Windows Ctrl+C, closing the console and the session's end) end
// the commands that run and cancel every later one, instead of ending the program, which then ends as it sees
// fit. On Windows closing the console leaves the program a few seconds: it calls cleanedUp() once its
// unfinished files are gone, and the system ends it then.
void cancelOnSignals();
bool cancelledBySignal();
void cleanedUp();

// Runs a command line to its end and returns its lines (see CommandGroup).
QStringList runCommandLine(const QString& cmd);

} // namespace bridge
