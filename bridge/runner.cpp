#include "bridge/runner.h"

#include "base/strlist.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QStringDecoder>

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <memory>
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
// command replaces the interpreter (exec), so that it is our own child. On Windows adb.exe starts suspended,
// to run once it is in its job (started: where its process and thread handles will be).
void setInterpreter(QProcess& process, const QString& cmd, bool singleCommand, [[maybe_unused]] void*& started) {
#ifdef Q_OS_WIN
    Q_UNUSED(singleCommand)
    process.setProgram(AdbFileName);
    process.setCreateProcessArgumentsModifier(
        [line = cmd.toStdWString(), &started](QProcess::CreateProcessArguments* args) mutable {
            args->arguments = line.data();
            args->flags |= CREATE_NO_WINDOW | CREATE_SUSPENDED;
            started = args->processInformation;
        });
#else
    process.setProgram(QStringLiteral("/bin/sh"));
    process.setArguments({QStringLiteral("-c"), singleCommand ? u"exec "_qs + cmd : cmd});
#endif
}

// What runs now, read by the signal handlers: process groups here, job objects on Windows. The slots come in
// blocks that are never freed, so that a handler may walk them at any moment; a block is added when every
// slot is taken, so any number of commands may run at once (the console program runs one per phone).
#ifdef Q_OS_WIN
using Running = void*;
#else
using Running = pid_t;
#endif
static_assert(std::atomic<Running>::is_always_lock_free);
struct Slots {
    std::array<std::atomic<Running>, 64> running{};
    std::atomic<Slots*> next{nullptr};
};
Slots firstSlots;
// Set by cancelOnSignals(): a signal cancels the commands instead of ending the program.
std::atomic<bool> signalCancels{false};
std::atomic<bool> interrupted{false};

std::atomic<Running>* occupySlot(Running what) {
    for (Slots* block = &firstSlots;;) {
        for (auto& slot : block->running) {
            Running none{};
            if (slot.compare_exchange_strong(none, what))
                return &slot;
        }
        Slots* next = block->next.load();
        if (!next) {
            auto fresh = std::make_unique<Slots>();
            if (block->next.compare_exchange_strong(next, fresh.get()))
                next = fresh.release();
        }
        block = next;
    }
}

void freeSlot(void*& slot) {
    if (slot)
        static_cast<std::atomic<Running>*>(std::exchange(slot, nullptr))->store(Running{});
}

// Only atomic loads: safe in a signal handler.
template <typename End> void endEveryRunning(End end) {
    for (Slots* block = &firstSlots; block; block = block->next.load())
        for (auto& slot : block->running)
            if (const Running what = slot.load())
                end(what);
}

#ifdef Q_OS_WIN
// Closing the console, logging off and shutting down end the program once the handler returns: it waits, a
// few seconds at most, until the program has removed what it left unfinished.
HANDLE cleanUpDone = CreateEventW(nullptr, TRUE, FALSE, nullptr);

BOOL WINAPI cancelOnConsoleEvent(DWORD event) {
    interrupted = true;
    endEveryRunning([](void* job) { TerminateJobObject(job, 1); });
    if (event == CTRL_CLOSE_EVENT || event == CTRL_LOGOFF_EVENT || event == CTRL_SHUTDOWN_EVENT)
        WaitForSingleObject(cleanUpDone, 4000);
    return TRUE;
}
#else
extern "C" void endRunningGroups(int signal) {
    const int savedErrno = errno;
    // Cancelled first: a command that starts while the groups are ended finds it so and does not run.
    if (signalCancels.load())
        interrupted = true;
    endEveryRunning([](pid_t group) { ::kill(-group, SIGKILL); });
    if (signalCancels.load()) {
        errno = savedErrno;
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
            action.sa_flags = SA_RESTART;
            sigemptyset(&action.sa_mask);
            ::sigaction(signal, &action, nullptr);
        }
        return true;
    }();
}
#endif

// The command and all it started end with us: its own process group goes first when a SIGINT, SIGTERM or
// SIGHUP ends us, and a crash or SIGKILL reaches our child through the parent-death signal (adb itself, when
// it replaced the interpreter). On Windows the command's job object does this (CommandRun::joinJobAndResume).
void endWithUs(QProcess& process, void*& slot) {
#ifndef Q_OS_WIN
    handleSignals();
    const pid_t parent = ::getpid();
    process.setChildProcessModifier([parent] {
        // A group of its own, so that a cancel ends the interpreter, adb and whatever they started.
        ::setpgid(0, 0);
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        // telvane-cli ignores SIGPIPE for itself; the commands get the usual one.
        ::signal(SIGPIPE, SIG_DFL);
        // We may have ended before the line above.
        if (::getppid() != parent)
            ::_exit(127);
    });
    QObject::connect(&process, &QProcess::started, &process,
                     [&process, &slot] { slot = occupySlot(static_cast<pid_t>(process.processId())); });
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

bool ADBFound() {
    return ADBPath() != u"adb" || !QStandardPaths::findExecutable(AdbFileName).isEmpty();
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
    setInterpreter(process_, cmd, singleCommand, started_);
    process_.setProcessChannelMode(QProcess::MergedChannels);
    process_.setStandardInputFile(QProcess::nullDevice());
    endWithUs(process_, slot_);
    connect(&process_, &QProcess::readyReadStandardOutput, this, &CommandRun::readPiece);
    connect(&process_, &QProcess::finished, this, &CommandRun::finish);
}

CommandRun::~CommandRun() {
    if (process_.state() != QProcess::NotRunning)
        endProcessGroup();
    freeSlot(slot_);
#ifdef Q_OS_WIN
    if (job_)
        CloseHandle(job_);
#endif
}

void CommandRun::start() {
    // Once a signal cancelled the commands, none starts.
    if (interrupted) {
        cancelled_ = true;
        end();
        return;
    }
    process_.start(QIODevice::ReadOnly);
    if (!process_.waitForStarted(-1)) {
        lines_ = {QStringLiteral("ERROR: CreateProcess failed for: ") + cmd_};
        end();
        return;
    }
#ifdef Q_OS_WIN
    joinJobAndResume();
#endif
    // A signal that came before the command had its slot found nothing to end.
    if (interrupted)
        cancel();
}

void CommandRun::cancel() {
    if (ended_)
        return;
    cancelled_ = true;
    // Its end comes through finish().
    if (process_.state() != QProcess::NotRunning)
        endProcessGroup();
    if (!ended_)
        end();
}

void CommandRun::finish() {
    if (ended_)
        return;
    freeSlot(slot_);
    // A command a signal ended was cancelled, whatever it printed before.
    if (interrupted)
        cancelled_ = true;
    if (!cancelled_) {
        readPiece();
        lines_ = output_.finish();
        if (process_.exitStatus() == QProcess::NormalExit)
            exitCode_ = process_.exitCode();
    }
    end();
}

void CommandRun::end() {
    if (cancelled_)
        lines_.clear();
    ended_ = true;
    Q_EMIT ended();
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
// let out of the job. adb.exe was started suspended and runs only once it is in the job.
void CommandRun::joinJobAndResume() {
    const auto* started = static_cast<PROCESS_INFORMATION*>(started_);
    job_ = CreateJobObjectW(nullptr, nullptr);
    if (job_) {
        JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
        limits.BasicLimitInformation.LimitFlags =
            JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE | JOB_OBJECT_LIMIT_SILENT_BREAKAWAY_OK;
        SetInformationJobObject(job_, JobObjectExtendedLimitInformation, &limits, sizeof limits);
        AssignProcessToJobObject(job_, started->hProcess);
        slot_ = occupySlot(job_);
    }
    ResumeThread(started->hThread);
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
    freeSlot(slot_);
    process_.kill();
    process_.waitForFinished(-1);
}

CommandGroup::CommandGroup(const QStringList& cmds, bool singleCommands) {
    for (qsizetype i = 0; i < cmds.size(); ++i) {
        auto& run = runs_.emplace_back(std::make_unique<CommandRun>(cmds[i], singleCommands));
        connect(run.get(), &CommandRun::ended, this, [this, i] {
            endedUntold_.append(i);
            loop_.quit();
        });
        connect(run.get(), &CommandRun::progressed, this, [this] {
            qint64 received = 0;
            for (const auto& each : runs_)
                received += each->received();
            Q_EMIT progressed(received);
        });
    }
}

CommandGroup::~CommandGroup() {
    cancel();
}

qsizetype CommandGroup::next() {
    if (!started_) {
        started_ = true;
        for (const auto& run : runs_)
            if (!cancelled_)
                run->start();
    }
    const auto allEnded = [this] {
        return std::all_of(runs_.begin(), runs_.end(), [](const auto& run) { return run->isEnded(); });
    };
    if (endedUntold_.isEmpty() && !cancelled_ && !allEnded()) {
        loop_.exec();
        // The loop also ends when the application quits (a session's end, QCoreApplication::exit), and from
        // then on it ends at once.
        if (endedUntold_.isEmpty())
            cancel();
    }
    // A command a signal or the user cancelled cancels them all; cancelling adds to the list, so it is read first.
    if (std::any_of(endedUntold_.cbegin(), endedUntold_.cend(),
                    [this](qsizetype i) { return runs_[size_t(i)]->cancelled(); }))
        cancel();
    if (cancelled_ || endedUntold_.isEmpty())
        return -1;
    return endedUntold_.takeFirst();
}

void CommandGroup::cancel() {
    if (cancelled_)
        return;
    cancelled_ = true;
    for (const auto& run : runs_)
        run->cancel();
    loop_.quit();
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

void cleanedUp() {
#ifdef Q_OS_WIN
    SetEvent(cleanUpDone);
#endif
}

QStringList runCommandLine(const QString& cmd) {
    CommandGroup group({cmd});
    while (group.next() >= 0) {
    }
    return group.command(0).takeLines();
}

} // namespace bridge
