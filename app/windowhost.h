#pragma once

#include "bridge/host.h"

#include <QFont>

#include <functional>

class TForm13;
class TextPane;

// The window's side of the phone operations: lines go to the output log in the look of their kind, commands
// run while the window waits (CommandWait), the phone is chosen in a list, the options are the check boxes.
class WindowHost : public bridge::Host {
public:
    explicit WindowHost(TForm13& form) : form_(form) {}

    void write(bridge::Kind kind, const QString& line) override;
    void writeLines(bridge::Kind kind, const QStringList& lines) override;
    void clear() override;
    void dfTable(const QStringList& dfLines) override;
    void waitFor(bridge::CommandGroup& group, const std::function<void(qsizetype)>& ended) override;
    void pause(int milliseconds) override;
    qsizetype choosePhone(const QString& question, const QList<bridge::Phone>& phones,
                          const QStringList& labels) override;
    QString outputFolder() override;
    void showPage(const QString& path) override;
    bool langFR() const override;
    bridge::Options options() const override;
    // Cancels the command or pause the operation waits on, as Esc does in the window: for the dialogs that
    // start operations, whose own Esc and Cancel reach them, not the window.
    void cancel();

private:
    TForm13& form_;
    std::function<void()> cancel_;
};

// Builds the df table from the command's lines and makes it the whole content of RE, in a monospaced
// 10 pt font without wrapping, which RE keeps from then on.
void ShowDFOutput(const QStringList& RawLines, TextPane* RE);

// Consolas 10 pt, or the system's monospaced font at 10 pt where Consolas is not installed.
QFont dfTableFont();
