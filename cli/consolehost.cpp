#include "cli/consolehost.h"

#include "base/errors.h"
#include "base/files.h"
#include "base/strlist.h"
#include "bridge/runner.h"
#include "storage/dftable.h"

#include <cstdio>

void ConsoleOutput::line(bool failure, const QString& text) {
    const QByteArray bytes = text.toUtf8() + '\n';
    const QMutexLocker lock(&mutex_);
    FILE* stream = failure ? stderr : stdout;
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
    std::fflush(stream);
}

ConsoleHost::ConsoleHost(ConsoleOutput& output, const Settings& settings, const QString& prefix,
                         const bridge::Phone& phone)
    : output_(output), settings_(settings), prefix_(prefix), phone_(phone) {}

void ConsoleHost::write(bridge::Kind kind, const QString& line) {
    // A line the log would show on several lines (a command's output while verbose) is printed as such,
    // each with the prefix.
    const QStringList lines = line.isEmpty() ? QStringList{QString()} : strlist::fromText(line);
    for (const QString& part : lines)
        output_.line(kind == bridge::Kind::Failure, prefix_ + part);
}

void ConsoleHost::dfTable(const QStringList& dfLines) {
    writeLines(bridge::Kind::Result, storage::dfTableLines(dfLines));
}

bridge::CommandResult ConsoleHost::run(const QString& cmd) {
    bridge::CommandRun run(cmd, true);
    run.run();
    if (run.cancelled())
        throw OperationCancelled();
    return {run.takeLines(), run.exitCode()};
}

qsizetype ConsoleHost::choosePhone(const QString&, const QList<bridge::Phone>& phones, const QStringList&) {
    return phones.indexOf(phone_);
}

QString ConsoleHost::outputFolder() {
    return files::ensureFolder(settings_.folder);
}
