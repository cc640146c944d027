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

} // namespace

QString decodeOutput(QByteArray bytes) {
    bytes.removeIf([](char c) { return c == '\0'; });
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    return eightBitDecoder().decode(bytes);
}

void OutputLines::add(const QByteArray& piece) {
    received_ += piece.size();
    QByteArray bytes = piece;
    if (bytes.contains('\0'))
        bytes.removeIf([](char c) { return c == '\0'; });
    if (!eightBit_)
        pieces_.append(bytes); // shared, not copied: for the 8-bit reading, should it be needed
    cut(bytes);
    if (notUtf8_)
        fallBackTo8Bit();
}

QStringList OutputLines::finish() {
    // A byte-order mark alone is no text, so no line either.
    const bool markAlone = !eightBit_ && lines_.isEmpty() && partial_ == "\xEF\xBB\xBF";
    if (!partial_.isEmpty() && !markAlone) {
        addLine(partial_);
        if (notUtf8_) {
            fallBackTo8Bit();
            addLine(partial_);
        }
    }
    partial_.clear();
    pieces_.clear();
    return std::move(lines_);
}

// Not UTF-8 after all: the whole output is read again in the 8-bit code page.
void OutputLines::fallBackTo8Bit() {
    eightBit_ = true;
    notUtf8_ = false;
    lines_.clear();
    partial_.clear();
    afterCR_ = false;
    const QList<QByteArray> pieces = std::move(pieces_);
    pieces_.clear();
    for (const QByteArray& piece : pieces)
        cut(piece);
}

// Lines are cut in the bytes (a line break is one ASCII byte in UTF-8 and in the 8-bit code pages alike)
// and each is decoded on its own, straight into the text it will be.
void OutputLines::cut(QByteArrayView bytes) {
    qsizetype start = 0;
    const qsizetype n = bytes.size();
    if (afterCR_ && n > 0) {
        afterCR_ = false;
        if (bytes[0] == '\n')
            start = 1;
    }
    // Most output has no CR at all: each break is found with the fast search for one byte.
    qsizetype cr = bytes.indexOf('\r', start);
    qsizetype lf = bytes.indexOf('\n', start);
    while ((cr >= 0 || lf >= 0) && !notUtf8_) {
        const qsizetype end = cr < 0 ? lf : lf < 0 ? cr : std::min(cr, lf);
        if (partial_.isEmpty()) {
            addLine(bytes.sliced(start, end - start));
        } else {
            partial_ += bytes.sliced(start, end - start);
            addLine(partial_);
            partial_.clear();
        }
        start = end + 1;
        if (end == cr) {
            if (start == n)
                afterCR_ = true;
            else if (bytes[start] == '\n')
                ++start;
        }
        if (cr >= 0 && cr < start)
            cr = bytes.indexOf('\r', start);
        if (lf >= 0 && lf < start)
            lf = bytes.indexOf('\n', start);
    }
    partial_ += bytes.sliced(start);
}

void OutputLines::addLine(QByteArrayView bytes) {
    if (eightBit_) {
        lines_.append(eightBitDecoder().decode(bytes));
        return;
    }
    // Only a byte-order mark at the very start of the output is no text.
    if (lines_.isEmpty() && bytes.startsWith("\xEF\xBB\xBF"))
        bytes = bytes.sliced(3);
    // The quick reading takes a mark for no text and stands U+FFFD in for what is not UTF-8; only such lines
    // need the strict reading, which keeps the mark and tells an error from a real U+FFFD.
    const bool mark = bytes.startsWith("\xEF\xBB\xBF");
    QString line = mark ? QString() : QString::fromUtf8(bytes);
    if (mark || line.contains(QChar::ReplacementCharacter)) {
        QStringDecoder utf8(QStringConverter::Utf8,
                            QStringConverter::Flag::Stateless | QStringConverter::Flag::ConvertInitialBom);
        line = utf8.decode(bytes);
        if (utf8.hasError()) {
            notUtf8_ = true;
            return;
        }
    }
    lines_.append(std::move(line));
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
    // The loop also ends when the application quits (a session's end, QCoreApplication::exit), and from then
    // on it ends at once: the command has not ended, so it is cancelled, never taken for complete.
    if (process_.state() != QProcess::NotRunning)
        cancel();
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
        // Tied to the wait, so that output read while the command is ended after the wait is gone goes nowhere.
        QObject::connect(&run, &bridge::CommandRun::progressed, &wait,
                         [&wait](qint64 bytes) { wait.setReceived(bytes); });
        run.run();
        if (run.cancelled())
            throw OperationCancelled();
        Output = run.takeLines();
    }
    if (CheckBoxVerbose->isChecked())
        writeLine(QStringLiteral("Output:\r\n") + strlist::joined(Output), Echo);
}
