#pragma once

#include "base/messages.h"
#include "bridge/catalogue.h"
#include "bridge/connection.h"

#include <QString>
#include <QStringList>

#include <functional>

class PhoneLost;

// What a phone operation needs from the program that runs it, the window or the console program: the
// phone's commands, the lines it writes, the output folder, the language and options, and a choice among
// several phones. Each front end implements the virtual part once; the chosen phone and the run-and-wait
// glue live here, in the part both share.
namespace bridge {

class CommandGroup;

// Kinds of lines, not looks: each front end shows a kind its own way.
enum class Kind {
    Step,        // the connection test's heading
    Heading,     // an operation's heading
    Title,       // a storage panel's title
    Progress,    // what a storage panel fetches now
    Success,     // the phone is connected
    Written,     // a file was written
    Failure,     // the operation failed or stopped
    Warning,     // a caution about the results
    Unavailable, // a value the phone did not give
    Finding,     // a noteworthy value found in the dump
    Notice,      // how the operation goes about its work
    Hint,        // a pointer for reading the results, the phone in use
    Echo,        // a command line and its output, while Verbose is on
    Result,      // a result
    Detail,      // a result of one step
    Total,       // the total of a summary
    Section,     // a heading inside the results
    Summary,     // a storage panel's summary heading
    Item,        // a line of a list, in the look of the line before it
    Blank,       // an empty line, in the look of the line before it
};

struct Options {
    bool essentials = false; // the RAW dump keeps only the lines the Essentials filter keeps
    bool legacy = false;     // compatibility mode for old Android versions
    bool verbose = false;    // every command line and its output are echoed
};

// What one command line gave: its lines, stdout and stderr merged, and its exit status (-1: no status).
struct CommandResult {
    QStringList lines;
    int exitCode = -1;
};

class Host {
public:
    virtual ~Host() = default;

    // The front end's side.
    virtual void write(Kind kind, const QString& line) = 0;
    virtual void writeLines(Kind kind, const QStringList& lines);
    // The operation starts its output afresh (the window empties its log; printed lines stay printed).
    virtual void clear() {}
    // df's lines shown as the disk space table (storage::dfTableLines); the window shows it alone.
    virtual void dfTable(const QStringList& dfLines) = 0;
    // Waits while the group's commands run, the user able to cancel them (which raises OperationCancelled),
    // and calls ended(i) outside of the wait's event loop each time command i has ended: an error it raises
    // ends the wait, and the group's destruction ends the commands left.
    virtual void waitFor(CommandGroup& group, const std::function<void(qsizetype)>& ended) = 0;
    // Waits that long between two looks at adb, the user able to cancel it as a command (OperationCancelled).
    virtual void pause(int milliseconds) = 0;
    // The phone to read among several: the index in phones, -1 for none. labels are "Model (serial)".
    virtual qsizetype choosePhone(const QString& question, const QList<Phone>& phones, const QStringList& labels) = 0;
    // The folder the files go to, made when missing; raises TelvaneError when it cannot be.
    virtual QString outputFolder() = 0;
    // A page the operation wrote: the window opens it in the user's browser; the console leaves it be.
    virtual void showPage(const QString& path) { Q_UNUSED(path) }
    virtual bool langFR() const = 0;
    virtual Options options() const = 0;

    // The shared side.
    QString text(const Message& message) const { return message.in(langFR()); }
    // Runs one command line to its end (see waitFor).
    CommandResult run(const QString& cmd);
    void blank() { write(Kind::Blank, QString()); }
    // The connection test that every operation starts with: whether a usable phone is there, chosen
    // among several when needed. It writes its heading and, when it fails, why.
    bool IsDeviceConnected();
    // A phone command. When adb answers instead of the phone that it reached no phone, the operation stops
    // (PhoneLost) and the choice is forgotten.
    QStringList ExecuteADBCommand(const QString& Cmd);
    // Phone commands run at once, each output in its command's place: landed(i, lines) runs for command i once
    // it and every command before it have ended, while later ones may still run. adb's complaint about any of
    // them ends them all (PhoneLost), as Esc or a signal does (OperationCancelled); nothing lands after that.
    void ExecuteADBCommands(const QStringList& Cmds, const std::function<void(qsizetype, QStringList&)>& landed);
    QList<QStringList> ExecuteADBCommands(const QStringList& Cmds);
    // An operation about to replace its files stops here, leaving them as they were, when a signal asked the
    // program to stop meanwhile (OperationCancelled).
    void stopIfCancelled() const;
    // Where the phone commands go: the adb path of this operation and the phone in use.
    catalogue::Target adbTarget() const;
    // The usable phones attached now, with their labels; adb's own "devices" lines are not written.
    struct Listed {
        QList<Phone> phones;
        QStringList labels;
        QStringList models;
        // Serials that several phones report while adb names no transport ids to tell them apart: those phones
        // are left out.
        QStringList refused;
    };
    Listed listPhones(const QString& adb, const DeviceList& list);
    // The phones attached are not those the choice was made among.
    // The phone read last stays known, so that the next operation says so when it reads another.
    void forgetPhone();
    // From now on every operation reads this phone and no other: when adb no longer lists it, the phone is
    // lost (the console program, bound to the phone its command line names).
    void bindTo(const Phone& phone) { bound_ = phone; }
    // The last line of an operation that stopped early: cancelled by the user, or its phone lost.
    QString cancelledLine() const;
    QString lostLine(const PhoneLost& lost) const;
    // Why phones that report this serial cannot be read.
    QString refusedLine(const QString& serial) const;

private:
    // Runs a command line with the verbose echo; returns its exit status.
    int runCommand(const QString& cmd, QStringList& output);
    void echo(const QString& cmd);
    void echoOutput(const QStringList& output);
    // The usable phone the operation reads, when the connection test finds it; else why not (written).
    bool usePhone(const QString& adb, const DeviceList& list);
    void dropTwins(const QString& adb, Listed& listed);

    PhoneChoice choice_;
    Phone bound_;
};

// The connection test: the output folder, made when missing, once a usable phone is there; else a null text.
QString TestConnection(Host& host);

} // namespace bridge
