#pragma once

#include "base/messages.h"
#include "bridge/catalogue.h"
#include "ui/logstyle.h"

#include <QString>
#include <QStringList>
#include <QWidget>

#include <functional>
#include <memory>

class Panel;
class QCheckBox;
class QLabel;
class QRadioButton;
class QTimer;
class TextPane;
class WindowHost;

// Where the update check asks for the latest version. The program always uses the built-in server;
// tests hand the window a server of their own on 127.0.0.1.
struct UpdateServer {
    QString host = QStringLiteral(TELVANE_UPDATE_HOST);
    quint16 port = 80;
};

// The one window of the program. Its phone operations are one-line methods in handlers.cpp, which call the
// operations of bridge/, reports/, storage/ and apps/ through the window's side of them (WindowHost).
class TForm13 : public QWidget {
    Q_OBJECT
public:
    explicit TForm13(const UpdateServer& updateServer = UpdateServer(), QWidget* parent = nullptr);
    ~TForm13() override;

    // Controls, in tab order.
    TextPane* RichEdit1;
    Panel* PanelInstructions;
    Panel* PanelRawDump;
    Panel* PanelCSVLibreOffice;
    Panel* PanelCSVExcel;
    Panel* PanelPhoneReport;
    QRadioButton* RadioButtonFR;
    QRadioButton* RadioButtonEN;
    QCheckBox* CheckBoxVerbose;
    QCheckBox* CheckBoxEssentials;
    Panel* PanelClearEdit;
    Panel* PanelUpdate;
    Panel* PanelGenerateAppsList;
    Panel* PanelConnect;
    Panel* PanelWifi;
    QCheckBox* CheckBoxOldAndroid;
    Panel* PanelDiskSpaceGlobal;
    Panel* PanelDiskSpaceAppsMedia;
    Panel* PanelPhotoVideoNumber;
    TextPane* RichEdit2;
    Panel* PanelSaveGroups;
    QCheckBox* CheckBoxMove;
    Panel* PanelGroupsInstructions;
    QLabel* Image321;
    QTimer* TimerUpdate;

    bool LangFR = false;
    QString CurrentDirectory;

    // Runs a handler so that no error crosses the event loop: an escaping error goes to the error report.
    void guard(const std::function<void()>& handler);
    // The user closed the window while a command ran: it closes once the operation has stopped.
    void closeAfterOperation() { closeRequested_ = true; }
    // The message in the language in force now.
    QString text(const Message& message) const { return message.in(LangFR); }
    // A formatted line in the output log.
    void writeLine(const QString& line, const LogStyle& style);

    // Start-up and the shell (app/).
    void FormCreate();
    void FormShow();
    void UpdateGradient();
    void UpdateLanguage();
    void UpdatePanelTexts();
    void WriteInstructions();
    void RadioButtonFRClick();
    void RadioButtonENClick();
    void PanelInstructionsClick();
    void PanelClearEditClick();

    // Device bridge (bridge/).
    // A phone command; see bridge::Host.
    void ExecuteADBCommand(const QString& Cmd, QStringList& Output);
    bool IsDeviceConnected();
    void PanelConnectClick();
    // Where the phone commands go: the adb path of this operation and the phone in use.
    catalogue::Target adbTarget() const;

    // Phones over Wi-Fi (wifi/): the Wi-Fi dialog.
    void PanelWifiClick();

    // Device reports (reports/).
    void PanelRawDumpClick();
    void GenerateRawDump();
    void PanelCSVLibreOfficeClick();
    void PanelCSVExcelClick();
    void GenerateCSVLibreOffice();
    void GenerateCSVExcel();
    void GenerateCategoryCSVs(const QString& Separator, const QString& Suffix);
    void PanelPhoneReportClick();
    void GeneratePhoneReport();

    // Storage analysis (storage/).
    void CalculateGlobalDiskSpace();
    void PanelDiskSpaceAppsMediaClick();
    void CalculateAppsAndMediaSpace();
    bool GetDuSizeAndLog(const catalogue::Target& adb, const QString& Path, const QString& CmdLabel,
                         const QString& ErrorOrAccessDeniedMsg, QString& SizeStr);
    void PanelPhotoVideoNumberClick();
    void CalculatePhotoVideoCounts();

    // Applications and groups (apps/).
    void PanelGenerateAppsListClick();
    void GenerateAppsListFile();
    void RichEdit1DblClick(QObject* Sender);
    void RichEdit2DblClick(QObject* Sender);
    void RichEdit2ContextPopup(QObject* Sender, bool& Handled);
    void RichEdit2KeyDown(QObject* Sender, int& Key);
    void PanelSaveGroupsClick();
    void PanelGroupsInstructionsClick();
    void RichEdit2OpenKey();
    void OpenGroupsFile(const QString& Path);

    // Update notice (update/).
    void LoadCurrentVersion();
    QString GetLatestVersion();
    void CheckForUpdates();
    void TimerUpdateTimer();
    void PanelUpdateClick();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void createControls();
    void wireHandlers();

    UpdateServer updateServer_;
    std::unique_ptr<WindowHost> host_;
    bool shown_ = false;
    int handlersRunning_ = 0;
    bool closeRequested_ = false;
    QString droppedDuringOperation_;
};

// The one instance of the window.
extern TForm13* Form13;

// Returns the text the user chose: TrueResult when Condition holds, else FalseResult.
QString IIf(bool Condition, const QString& TrueResult, const QString& FalseResult);
