#pragma once

#include <QDialog>
#include <QList>

#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;
class TForm13;
class WindowHost;

// The Wi-Fi dialog: pairing with a QR code or a pairing code, connecting to an address and disconnecting,
// switching the USB phone in use to Wi-Fi. Its operations write to the window's log, beside which it opens.
// While one runs, the dialog's inputs are held and Esc, Cancel or closing it stops the operation's wait.
// With an adb too old to pair, the two pairing tabs say so in red and cannot start.
class WifiDialog : public QDialog {
public:
    WifiDialog(TForm13& form, WindowHost& host);

protected:
    void reject() override;

private:
    QWidget* qrPage(const QString& refusal);
    QWidget* codePage(const QString& refusal);
    QWidget* connectPage();
    QWidget* usbPage();
    // Runs an operation as the window's handlers run, its lines shown in the log as they come.
    void run(const std::function<void()>& operation);
    void pairWithQrCode();

    TForm13& form_;
    WindowHost& host_;
    QTabWidget* tabs_;
    QLabel* qrImage_ = nullptr;
    QLineEdit* pairAddress_ = nullptr;
    QLineEdit* pairCode_ = nullptr;
    QLineEdit* connectAddress_ = nullptr;
    QPushButton* close_;
    QList<QWidget*> inputs_;
    bool running_ = false;
};
