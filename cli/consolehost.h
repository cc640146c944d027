#pragma once

#include "bridge/host.h"
#include "reports/phonereport.h"

#include <QMutex>

#include <optional>

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
        bool json = false; // the report's JSON document on standard output, every line on standard error
    };
    ConsoleHost(ConsoleOutput& output, const Settings& settings, const QString& prefix = {},
                const bridge::Phone& phone = {});

    void write(bridge::Kind kind, const QString& line) override;
    void dfTable(const QStringList& dfLines) override;
    void waitFor(bridge::CommandGroup& group, const std::function<void(qsizetype)>& ended) override;
    void pause(int milliseconds) override;
    qsizetype choosePhone(const QString& question, const QList<bridge::Phone>& phones,
                          const QStringList& labels) override;
    QString outputFolder() override;
    bool langFR() const override { return settings_.langFR; }
    bridge::Options options() const override { return settings_.options; }
    bool outputFailed() const { return output_.failed(); }
    // The phone report written in this run, printed as a JSON line when asked.
    void reportWritten(reports::ReportFile report);
    const std::optional<reports::ReportFile>& report() const { return report_; }

private:
    ConsoleOutput& output_;
    Settings settings_;
    QString prefix_;
    bridge::Phone phone_;
    std::optional<reports::ReportFile> report_;
};
