#pragma once

#include <QObject>
#include <QTimer>

#include <functional>

class QWidget;
class TForm13;

// While a command runs the window waits on it: the busy cursor shows, the log is painted as far as it is
// written, and no input reaches the window except Esc, which cancels the command, and closing the
// window, which cancels it and closes the window once the operation has stopped. Dialogs that open
// meanwhile take input as usual. After half a second a
// bar along the bottom edge of the log shows that work goes on and how much came in, unless the wait is a
// pause between two commands (withBar false), where nothing comes in.
class CommandWait : public QObject {
public:
    CommandWait(TForm13* form, std::function<void()> cancel, bool withBar = true);
    ~CommandWait() override;
    CommandWait(const CommandWait&) = delete;
    CommandWait& operator=(const CommandWait&) = delete;

    void setReceived(qint64 bytes);

    // The one place that decides what the user may do while a command runs: true for input held off.
    static bool heldOff(const QEvent& event);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The window, its widgets and what they own (their shortcuts): input to these is held off.
    bool inWindow(QObject* object) const;

    TForm13* form_;
    std::function<void()> cancel_;
    QTimer showBar_;
    QWidget* bar_ = nullptr;
    qint64 received_ = 0;
};
