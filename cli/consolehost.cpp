#include "cli/consolehost.h"

#include "base/errors.h"
#include "base/files.h"
#include "base/strlist.h"
#include "bridge/runner.h"
#include "reports/reportrender.h"
#include "storage/dftable.h"

#include <QDeadlineTimer>
#include <QJsonDocument>
#include <QThread>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>

namespace {

const Message CannotPrint{"cannot write to %1: %2", "impossible d'écrire sur la %1 : %2"};
const Message StandardOutput{"standard output", "sortie standard"};
const Message StandardError{"standard error", "sortie d'erreur"};

} // namespace

ConsoleOutput::ConsoleOutput() {
#ifndef Q_OS_WIN
    // A reader that went away (| head) makes the writes fail, which ends the run as a failure, instead of
    // ending the program in the middle of a file.
    ::signal(SIGPIPE, SIG_IGN);
#endif
}

void ConsoleOutput::line(bool failure, const QString& text) {
    const QByteArray bytes = text.toUtf8() + '\n';
    const QMutexLocker lock(&mutex_);
    FILE* stream = failure ? stderr : stdout;
    errno = 0;
    if (std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream) == size_t(bytes.size()) &&
        std::fflush(stream) == 0)
        return;
    if (!stream_) {
        errno_ = errno;
        stream_ = failure ? StandardError.en : StandardOutput.en;
    }
}

bool ConsoleOutput::failed() const {
    const QMutexLocker lock(&mutex_);
    return stream_ != nullptr;
}

QString ConsoleOutput::failure(bool langFR) const {
    const QMutexLocker lock(&mutex_);
    if (!stream_)
        return {};
    const Message& stream = stream_ == StandardError.en ? StandardError : StandardOutput;
    return CannotPrint.in(langFR).arg(stream.in(langFR), streamErrorText(errno_, langFR));
}

ConsoleHost::ConsoleHost(ConsoleOutput& output, const Settings& settings, const QString& prefix,
                         const bridge::Phone& phone)
    : output_(output), settings_(settings), prefix_(prefix), phone_(phone) {
    if (!phone.serial.isEmpty())
        bindTo(phone);
}

void ConsoleHost::write(bridge::Kind kind, const QString& line) {
    // A line the log would show on several lines (a command's output while verbose) is printed as such,
    // each with the prefix.
    const QStringList lines = line.isEmpty() ? QStringList{QString()} : strlist::fromText(line);
    for (const QString& part : lines)
        output_.line(kind == bridge::Kind::Failure || settings_.json, prefix_ + part);
}

void ConsoleHost::reportWritten(reports::ReportFile report) {
    if (settings_.json)
        output_.line(
            false,
            QString::fromUtf8(
                QJsonDocument(reports::ReportJson(report.report, report.generated)).toJson(QJsonDocument::Compact)));
    report_ = std::move(report);
}

void ConsoleHost::dfTable(const QStringList& dfLines) {
    writeLines(bridge::Kind::Result, storage::dfTableLines(dfLines));
}

void ConsoleHost::waitFor(bridge::CommandGroup& group, const std::function<void(qsizetype)>& ended) {
    for (qsizetype i = group.next(); i >= 0; i = group.next())
        ended(i);
    if (group.cancelled())
        throw OperationCancelled();
}

void ConsoleHost::pause(int milliseconds) {
    // A signal ends the pause within a few milliseconds.
    const QDeadlineTimer end(milliseconds);
    while (!end.hasExpired() && !bridge::cancelledBySignal())
        QThread::msleep(ulong(std::clamp<qint64>(end.remainingTime(), 0, 20)));
    stopIfCancelled();
}

qsizetype ConsoleHost::choosePhone(const QString&, const QList<bridge::Phone>& phones, const QStringList&) {
    return phones.indexOf(phone_);
}

QString ConsoleHost::outputFolder() {
    return files::ensureFolder(settings_.folder);
}
