#pragma once

#include "bridge/host.h"

#include <QMutex>

// Where the console program's lines go: standard output, failure lines to standard error, one whole line
// at a time, whichever phone writes it.
class ConsoleOutput {
public:
    void line(bool failure, const QString& text);

private:
    QMutex mutex_;
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
    bridge::CommandResult run(const QString& cmd) override;
    qsizetype choosePhone(const QString& question, const QList<bridge::Phone>& phones,
                          const QStringList& labels) override;
    QString outputFolder() override;
    bool langFR() const override { return settings_.langFR; }
    bridge::Options options() const override { return settings_.options; }

private:
    ConsoleOutput& output_;
    Settings settings_;
    QString prefix_;
    bridge::Phone phone_;
};
