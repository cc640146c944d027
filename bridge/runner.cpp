#include "bridge/runner.h"

#include "app/commandwait.h"
#include "app/errors.h"
#include "app/strlist.h"
#include "app/textpane.h"
#include "app/tform13.h"

#include <QApplication>
#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStringDecoder>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <csignal>
#include <sys/types.h>
#include <unistd.h>
#endif

namespace {

#ifdef Q_OS_WIN
const QString AdbFileName = QStringLiteral("adb.exe");
#else
const QString AdbFileName = QStringLiteral("adb");
#endif

const LogStyle Echo{logcolor::Grey, 9, false};

// The system's command interpreter with the command line handed over unchanged.
void setInterpreter(QProcess& process, const QString& cmd) {
#ifdef Q_OS_WIN
    process.setProgram(QStringLiteral("cmd.exe"));
    process.setNativeArguments(bridge::windowsInterpreterArguments(cmd));
    process.setCreateProcessArgumentsModifier(
        [](QProcess::CreateProcessArguments* args) { args->flags |= CREATE_NO_WINDOW; });
#else
    process.setProgram(QStringLiteral("/bin/sh"));
    process.setArguments({QStringLiteral("-c"), cmd});
#endif
}

} // namespace

QString ADBPath() {
    const QString besideUs = QDir(QCoreApplication::applicationDirPath()).filePath(AdbFileName);
    // QFileInfo follows a symbolic link to its target; a folder or a plain file of that name is no adb.
    if (const QFileInfo info(besideUs); info.isFile() && info.isExecutable())
        return besideUs;
    return QStringLiteral("adb");
}

namespace bridge {

QString windowsInterpreterArguments(const QString& cmd) {
    return u"/S /C \""_qs + cmd + u'"';
}

namespace {

QStringDecoder eightBitDecoder() {
#ifdef Q_OS_WIN
    return QStringDecoder(QStringConverter::System);
#else
    return QStringDecoder(QStringConverter::Latin1);
#endif
}

// Whether UTF-8 bytes end inside a character, which a whole decoding would take for an error.
bool endsInsideACharacter(QByteArrayView bytes) {
    for (qsizetype back = 1; back <= 4 && back <= bytes.size(); ++back) {
        const auto byte = static_cast<unsigned char>(bytes[bytes.size() - back]);
        if ((byte & 0xC0) == 0x80)
            continue; // a continuation byte: look further back for the lead byte
        const qsizetype length = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC0 ? 2 : 1;
        return length > back;
    }
    return false;
}

} // namespace

QString decodeOutput(QByteArray bytes) {
    bytes.removeIf([](char c) { return c == '\0'; });
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    return eightBitDecoder().decode(bytes);
}

OutputLines::OutputLines() : decoder_(QStringConverter::Utf8) {}

void OutputLines::add(const QByteArray& piece) {
    received_ += piece.size();
    QByteArray bytes = piece;
    if (bytes.contains('\0'))
        bytes.removeIf([](char c) { return c == '\0'; });
    if (eightBit_) {
        split(QString(decoder_.decode(bytes)));
        return;
    }
    const QString text = decoder_.decode(bytes);
    // The pieces are kept as they came (shared, not copied) for the 8-bit reading.
    pieces_.append(std::move(bytes));
    if (decoder_.hasError())
        fallBackTo8Bit();
    else
        split(text);
}

QStringList OutputLines::finish() {
    if (!eightBit_) {
        // A character is at most four bytes, and those may have come in several pieces.
        QByteArray tail;
        for (qsizetype i = pieces_.size() - 1; i >= 0 && tail.size() < 4; --i)
            tail.prepend(pieces_[i].right(4 - tail.size()));
        if (endsInsideACharacter(tail))
            fallBackTo8Bit();
    }
    if (!partial_.isEmpty())
        lines_.append(std::move(partial_));
    partial_.clear();
    pieces_.clear();
    return std::move(lines_);
}

// Not UTF-8 after all: the whole output is read again in the 8-bit code page.
void OutputLines::fallBackTo8Bit() {
    eightBit_ = true;
    decoder_ = eightBitDecoder();
    lines_.clear();
    partial_.clear();
    afterCR_ = false;
    QByteArray everything;
    for (const QByteArray& piece : std::as_const(pieces_))
        everything += piece;
    pieces_.clear();
    split(QString(decoder_.decode(everything)));
}

void OutputLines::split(QStringView text) {
    qsizetype start = 0;
    const qsizetype n = text.size();
    if (afterCR_ && n > 0) {
        afterCR_ = false;
        if (text[0] == u'\n')
            start = 1;
    }
    // Line breaks are found with the fast search for one character; most output has no CR at all.
    qsizetype cr = text.indexOf(u'\r', start);
    qsizetype lf = text.indexOf(u'\n', start);
    while (cr >= 0 || lf >= 0) {
        const qsizetype end = cr < 0 ? lf : lf < 0 ? cr : std::min(cr, lf);
        if (partial_.isEmpty()) {
            lines_.append(text.sliced(start, end - start).toString());
        } else {
            partial_ += text.sliced(start, end - start);
            lines_.append(std::move(partial_));
            partial_.clear();
        }
        start = end + 1;
        if (end == cr) {
            if (start == n)
                afterCR_ = true;
            else if (text[start] == u'\n')
                ++start;
        }
        if (cr >= 0 && cr < start)
            cr = text.indexOf(u'\r', start);
        if (lf >= 0 && lf < start)
            lf = text.indexOf(u'\n', start);
    }
    partial_ += text.sliced(start);
}

CommandRun::CommandRun(const QString& cmd) : cmd_(cmd) {
    setInterpreter(process_, cmd);
    process_.setProcessChannelMode(QProcess::MergedChannels);
    process_.setStandardInputFile(QProcess::nullDevice());
#ifndef Q_OS_WIN
    // A group of its own, so that a cancel ends the interpreter, adb and whatever they started.
    process_.setChildProcessModifier([] { ::setpgid(0, 0); });
#endif
    connect(&process_, &QProcess::readyReadStandardOutput, this, &CommandRun::readPiece);
    connect(&process_, &QProcess::finished, &loop_, &QEventLoop::quit);
}

CommandRun::~CommandRun() {
    if (process_.state() != QProcess::NotRunning) {
        endProcessGroup();
        process_.waitForFinished(-1);
    }
}

void CommandRun::run() {
    process_.start(QIODevice::ReadOnly);
    if (!process_.waitForStarted(-1)) {
        lines_ = {QStringLiteral("ERROR: CreateProcess failed for: ") + cmd_};
        return;
    }
    if (process_.state() == QProcess::Running && !cancelled_)
        loop_.exec();
    if (cancelled_)
        return;
    readPiece();
    lines_ = output_.finish();
}

void CommandRun::cancel() {
    if (cancelled_)
        return;
    cancelled_ = true;
    if (process_.state() != QProcess::NotRunning)
        endProcessGroup();
    loop_.quit();
}

QStringList CommandRun::takeLines() {
    return std::move(lines_);
}

void CommandRun::readPiece() {
    const QByteArray piece = process_.readAllStandardOutput();
    if (piece.isEmpty())
        return;
    output_.add(piece);
    Q_EMIT progressed(output_.received());
}

void CommandRun::endProcessGroup() {
    const qint64 pid = process_.processId();
#ifdef Q_OS_WIN
    QProcess::execute(QStringLiteral("taskkill"),
                      {QStringLiteral("/F"), QStringLiteral("/T"), QStringLiteral("/PID"), QString::number(pid)});
#else
    if (pid > 0)
        ::kill(-static_cast<pid_t>(pid), SIGKILL);
#endif
    process_.kill();
    process_.waitForFinished(-1);
}

QStringList runCommandLine(const QString& cmd) {
    CommandRun run(cmd);
    run.run();
    return run.takeLines();
}

} // namespace bridge

void TForm13::ExecuteADBCommand(const QString& Cmd, QStringList& Output) {
    if (CheckBoxVerbose->isChecked())
        writeLine(QStringLiteral("> ") + Cmd, Echo);
    {
        bridge::CommandRun run(Cmd);
        CommandWait wait(this, [&run] { run.cancel(); });
        QObject::connect(&run, &bridge::CommandRun::progressed, &run,
                         [&wait](qint64 bytes) { wait.setReceived(bytes); });
        run.run();
        if (run.cancelled())
            throw OperationCancelled();
        Output = run.takeLines();
    }
    if (CheckBoxVerbose->isChecked())
        writeLine(QStringLiteral("Output:\r\n") + strlist::joined(Output), Echo);
}
