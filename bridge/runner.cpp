#include "bridge/runner.h"

#include "base/strlist.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStringDecoder>

#include <array>
#include <atomic>
#include <utility>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <csignal>
#include <sys/prctl.h>
#include <sys/types.h>
#include <unistd.h>
#endif

namespace {

#ifdef Q_OS_WIN
const QString AdbFileName = QStringLiteral("adb.exe");
#else
const QString AdbFileName = QStringLiteral("adb");
#endif

// The command line handed over unchanged. On Windows it is adb.exe's own command line: cmd.exe would expand
// %NAME% even inside double quotes and take ^ & ( ) ! for its own, while adb reads its arguments the same
// way from either (su -c "... | wc -l" stays one argument for the phone's shell). CreateProcess finds a bare
// "adb" where cmd.exe would: beside us, in the current folder, then on the PATH. Elsewhere a single simple
// command replaces the interpreter (exec), so that it is our own child.
void setInterpreter(QProcess& process, const QString& cmd, bool singleCommand) {
#ifdef Q_OS_WIN
    Q_UNUSED(singleCommand)
    process.setProgram(AdbFileName);
    process.setCreateProcessArgumentsModifier(
        [line = cmd.toStdWString()](QProcess::CreateProcessArguments* args) mutable {
            args->arguments = line.data();
            args->flags |= CREATE_NO_WINDOW;
        });
#else
    process.setProgram(QStringLiteral("/bin/sh"));
    process.setArguments({QStringLiteral("-c"), singleCommand ? u"exec "_qs + cmd : cmd});
#endif
}

// What runs now, one slot per command (the console program runs one command per phone at once), read by
// the signal handlers: process groups here, job objects on Windows.
constexpr std::size_t MostRunning = 64;
#ifdef Q_OS_WIN
using Running = void*;
#else
using Running = pid_t;
#endif
std::array<std::atomic<Running>, MostRunning> running{};
static_assert(std::atomic<Running>::is_always_lock_free);
// Set by cancelOnSignals(): a signal cancels the commands instead of ending the program.
std::atomic<bool> signalCancels{false};
std::atomic<bool> interrupted{false};

std::size_t occupySlot(Running what) {
    for (std::size_t slot = 0; slot < MostRunning; ++slot) {
        Running none{};
        if (running[slot].compare_exchange_strong(none, what))
            return slot;
    }
    return MostRunning;
}

void freeSlot(std::size_t slot) {
    if (slot < MostRunning)
        running[slot] = Running{};
}

#ifdef Q_OS_WIN
BOOL WINAPI cancelOnConsoleEvent(DWORD) {
    interrupted = true;
    for (auto& job : running)
        if (void* handle = job.load())
            TerminateJobObject(handle, 1);
    return TRUE;
}
#else
extern "C" void endRunningGroups(int signal) {
    for (auto& group : running)
        if (const pid_t id = group.load(); id > 0)
            ::kill(-id, SIGKILL);
    if (signalCancels.load()) {
        interrupted = true;
        return;
    }
    // The signal ends us as it would have.
    struct sigaction fallback {};
    fallback.sa_handler = SIG_DFL;
    ::sigaction(signal, &fallback, nullptr);
    ::raise(signal);
}

void handleSignals() {
    [[maybe_unused]] static const bool handled = [] {
        for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
            struct sigaction action {};
            // A signal ignored when we were started (nohup) stays ignored.
            if (::sigaction(signal, nullptr, &action) == 0 && action.sa_handler == SIG_IGN)
                continue;
            action = {};
            action.sa_handler = endRunningGroups;
            ::sigaction(signal, &action, nullptr);
        }
        return true;
    }();
}
#endif

// The command and all it started end with us: its own process group goes first when a SIGINT, SIGTERM or
// SIGHUP ends us, and a crash or SIGKILL reaches our child through the parent-death signal (adb itself, when
// it replaced the interpreter). On Windows the command's job object does this (CommandRun::joinJob).
void endWithUs(QProcess& process, std::size_t& slot) {
#ifndef Q_OS_WIN
    handleSignals();
    const pid_t parent = ::getpid();
    process.setChildProcessModifier([parent] {
        // A group of its own, so that a cancel ends the interpreter, adb and whatever they started.
        ::setpgid(0, 0);
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        // We may have ended before the line above.
        if (::getppid() != parent)
            ::_exit(127);
    });
    QObject::connect(&process, &QProcess::started, &process,
                     [&process, &slot] { slot = occupySlot(static_cast<pid_t>(process.processId())); });
    QObject::connect(&process, &QProcess::finished, &process, [&slot] { freeSlot(std::exchange(slot, MostRunning)); });
#else
    Q_UNUSED(process)
    Q_UNUSED(slot)
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

CommandRun::CommandRun(const QString& cmd, bool singleCommand) : cmd_(cmd) {
    setInterpreter(process_, cmd, singleCommand);
    process_.setProcessChannelMode(QProcess::MergedChannels);
    process_.setStandardInputFile(QProcess::nullDevice());
    endWithUs(process_, slot_);
    connect(&process_, &QProcess::readyReadStandardOutput, this, &CommandRun::readPiece);
    connect(&process_, &QProcess::finished, &loop_, &QEventLoop::quit);
}

CommandRun::~CommandRun() {
    if (process_.state() != QProcess::NotRunning) {
        endProcessGroup();
        process_.waitForFinished(-1);
    }
#ifdef Q_OS_WIN
    freeSlot(slot_);
    if (job_)
        CloseHandle(job_);
#endif
}

void CommandRun::run() {
    // Once a signal cancelled the commands, none starts.
    if (interrupted) {
        cancelled_ = true;
        return;
    }
    process_.start(QIODevice::ReadOnly);
    if (!process_.waitForStarted(-1)) {
        lines_ = {QStringLiteral("ERROR: CreateProcess failed for: ") + cmd_};
        return;
    }
#ifdef Q_OS_WIN
    joinJob();
#endif
    // A signal that came before the command had its slot found nothing to end.
    if (interrupted)
        cancel();
    if (process_.state() == QProcess::Running && !cancelled_)
        loop_.exec();
    // The loop also ends when the application quits (a session's end, QCoreApplication::exit), and from then
    // on it ends at once: the command has not ended, so it is cancelled, never taken for complete.
    if (process_.state() != QProcess::NotRunning || interrupted)
        cancel();
    if (cancelled_)
        return;
    readPiece();
    lines_ = output_.finish();
    if (process_.exitStatus() == QProcess::NormalExit)
        exitCode_ = process_.exitCode();
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

#ifdef Q_OS_WIN
// The job ends adb.exe when it is closed: on a cancel, and when Telvane ends in any way, since Windows closes
// the handles of a program that ends. What adb itself starts (its server, which must outlive the command) is
// let out of the job.
void CommandRun::joinJob() {
    job_ = CreateJobObjectW(nullptr, nullptr);
    if (!job_)
        return;
    slot_ = occupySlot(job_);
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE | JOB_OBJECT_LIMIT_SILENT_BREAKAWAY_OK;
    SetInformationJobObject(job_, JobObjectExtendedLimitInformation, &limits, sizeof limits);
    if (HANDLE child = OpenProcess(PROCESS_SET_QUOTA | PROCESS_TERMINATE, FALSE, DWORD(process_.processId()))) {
        AssignProcessToJobObject(job_, child);
        CloseHandle(child);
    }
}
#endif

void CommandRun::endProcessGroup() {
#ifdef Q_OS_WIN
    if (job_)
        TerminateJobObject(job_, 1);
#else
    if (const qint64 pid = process_.processId(); pid > 0)
        ::kill(-static_cast<pid_t>(pid), SIGKILL);
#endif
    process_.kill();
    process_.waitForFinished(-1);
}

void cancelOnSignals() {
    signalCancels = true;
#ifdef Q_OS_WIN
    SetConsoleCtrlHandler(cancelOnConsoleEvent, TRUE);
#else
    handleSignals();
#endif
}

bool cancelledBySignal() {
    return interrupted;
}

QStringList runCommandLine(const QString& cmd) {
    CommandRun run(cmd);
    run.run();
    return run.takeLines();
}

} // namespace bridge
