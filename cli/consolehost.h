#pragma once

#include "bridge/host.h"

#include <QMutex>

// Where the console program's lines go: standard output, failure lines to standard error, one whole line
// at a time, whichever phone writes it. A line that cannot be written is remembered.
class ConsoleOutput {
public:
    ConsoleOutput();
    void line(bool failure, const QString& text);
    bool failed() const;
    // Why standard output or standard error could not be written, empty while every line could.
    QString failure(bool langFR) const;

private:
    mutable QMutex mutex_;
    const char* stream_ = nullptr;
    int errno_ = 0;
};

// The console program's side of the phone operations for one phone: lines are printed with the phone's
// prefix, commands run to their end (a signal cancels them), the phone is the one named, the options come
// from the command line.
class ConsoleHost : public bridge::Host {
public:
    struct Settings {
        QString folder; // the output folder; made when an operation writes
        bool langFR = false;
        bridge::Options options;
    };
    ConsoleHost(ConsoleOutput& output, const Settings& settings, const QString& prefix = {},
                const bridge::Phone& phone = {});

    void write(bridge::Kind kind, const QString& line) override;
    void dfTable(const QStringList& dfLines) override;
    void waitFor(bridge::CommandGroup& group, const std::function<void(qsizetype)>& ended) override;
    qsizetype choosePhone(const QString& question, const QList<bridge::Phone>& phones,
                          const QStringList& labels) override;
    QString outputFolder() override;
    bool langFR() const override { return settings_.langFR; }
    bridge::Options options() const override { return settings_.options; }
    bool outputFailed() const { return output_.failed(); }

private:
    ConsoleOutput& output_;
    Settings settings_;
    QString prefix_;
    bridge::Phone phone_;
};
