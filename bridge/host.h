#pragma once

#include "base/messages.h"
#include "bridge/catalogue.h"
#include "bridge/connection.h"

#include <QString>
#include <QStringList>

class PhoneLost;

// What a phone operation needs from the program that runs it, the window or the console program: the
// phone's commands, the lines it writes, the output folder, the language and options, and a choice among
// several phones. Each front end implements the virtual part once; the chosen phone and the run-and-wait
// glue live here, in the part both share.
namespace bridge {

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
    // Runs one command line to its end; the user may cancel it, which raises OperationCancelled.
    virtual CommandResult run(const QString& cmd) = 0;
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
    void blank() { write(Kind::Blank, QString()); }
    // The connection test that every operation starts with: whether a usable phone is there, chosen
    // among several when needed. It writes its heading and, when it fails, why.
    bool IsDeviceConnected();
    // A phone command. When adb answers instead of the phone that it reached no phone, the operation stops
    // (PhoneLost) and the choice is forgotten.
    QStringList ExecuteADBCommand(const QString& Cmd);
    // Where the phone commands go: the adb path of this operation and the phone in use.
    catalogue::Target adbTarget() const;
    // The usable phones attached now, with their labels; adb's own "devices" lines are not written.
    struct Listed {
        QList<Phone> phones;
        QStringList labels;
        QStringList models;
        QString refusal; // why they cannot be told apart, when two report one serial without transport ids
    };
    Listed listPhones(const QString& adb, const DeviceList& list);
    // The phones attached are not those the choice was made among.
    void forgetPhone() { choice_ = {}; }
    // The last line of an operation that stopped early: cancelled by the user, or its phone lost.
    QString cancelledLine() const;
    QString lostLine(const PhoneLost& lost) const;

private:
    // Runs a command line with the verbose echo; returns its exit status.
    int runCommand(const QString& cmd, QStringList& output);

    PhoneChoice choice_;
};

// The connection test: the output folder, made when missing, once a usable phone is there; else a null text.
QString TestConnection(Host& host);

} // namespace bridge
