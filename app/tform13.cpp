#include "app/tform13.h"

#include "app/windowhost.h"
#include "base/errors.h"
#include "ui/dialogs.h"
#include "ui/fonts.h"
#include "ui/panel.h"
#include "ui/textpane.h"

#include <QApplication>
#include <QCheckBox>
#include <QDirIterator>
#include <QIcon>
#include <QLabel>
#include <QRadioButton>
#include <QScreen>
#include <QTimer>

#include <utility>

TForm13* Form13 = nullptr;

namespace {

constexpr int ClientWidth = 1246;
constexpr int ClientHeight = 744;

// Segoe UI 8 pt where installed, the system's sans-serif otherwise.
QFont windowFont() {
    return installedFontOr(u"Segoe UI"_qs, QFontDatabase::GeneralFont, 8);
}

// Every size of the icon in the resources, so each place that shows it picks a drawn one, not a scaled one.
QIcon applicationIcon() {
    QIcon icon;
    QDirIterator sizes(u":/icons"_qs, {u"*.png"_qs}, QDir::Files, QDirIterator::Subdirectories);
    while (sizes.hasNext())
        icon.addFile(sizes.next());
    return icon;
}

template <typename W> W* place(W* widget, const char* name, int left, int top, int width, int height) {
    widget->setObjectName(QString::fromLatin1(name));
    widget->setGeometry(left, top, width, height);
    return widget;
}

} // namespace

TForm13::TForm13(const UpdateServer& updateServer, QWidget* parent)
    : QWidget(parent), updateServer_(updateServer), host_(std::make_unique<WindowHost>(*this)) {
    Form13 = this;
    createControls();
    wireHandlers();
    guard([this] { FormCreate(); });
}

TForm13::~TForm13() {
    if (Form13 == this)
        Form13 = nullptr;
}

void TForm13::createControls() {
    setObjectName(u"Form13"_qs);
    setWindowTitle(u"Telvane V2.0.16 - reads your Android phone over USB, at your own risk"_qs);
    setWindowIcon(applicationIcon());
    setFont(windowFont());
    QPalette face = palette();
    face.setColor(QPalette::Window, face.color(QPalette::Button));
    setPalette(face);
    setAutoFillBackground(true);
    resize(ClientWidth, ClientHeight);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    RichEdit1 = place(new TextPane(this), "RichEdit1", 0, 8, 664, 472);
    RichEdit1->setReadOnly(true);
    RichEdit1->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    RichEdit1->setUndoRedoEnabled(false);
    RichEdit1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    RichEdit1->setPaneFont(windowFont());
    PanelInstructions = place(new Panel(QString(), this), "PanelInstructions", 8, 502, 105, 25);
    PanelRawDump = place(new Panel(QString(), this), "PanelRawDump", 272, 502, 144, 25);
    PanelCSVLibreOffice = place(new Panel(QString(), this), "PanelCSVLibreOffice", 8, 533, 408, 25);
    PanelCSVExcel = place(new Panel(QString(), this), "PanelCSVExcel", 8, 564, 408, 25);
    PanelPhoneReport = place(new Panel(QString(), this), "PanelPhoneReport", 8, 595, 258, 25);
    RadioButtonFR = place(new QRadioButton(u"Français"_qs, this), "RadioButtonFR", 564, 506, 100, 25);
    RadioButtonEN = place(new QRadioButton(u"English"_qs, this), "RadioButtonEN", 432, 506, 100, 25);
    RadioButtonEN->setChecked(true);
    CheckBoxVerbose = place(new QCheckBox(this), "CheckBoxVerbose", 432, 567, 113, 22);
    CheckBoxEssentials = place(new QCheckBox(this), "CheckBoxEssentials", 432, 533, 224, 21);
    PanelClearEdit = place(new Panel(QString(), this), "PanelClearEdit", 567, 564, 97, 25);
    PanelUpdate = place(new Panel(u"!!UPDATE!!"_qs, this), "PanelUpdate", 599, 8, 65, 25);
    PanelUpdate->setColor(QColor(0xFF00FF));
    PanelUpdate->hide();
    PanelGenerateAppsList = place(new Panel(QString(), this), "PanelGenerateAppsList", 231, 693, 185, 25);
    PanelConnect = place(new Panel(QString(), this), "PanelConnect", 119, 503, 147, 24);
    PanelWifi = place(new Panel(QString(), this), "PanelWifi", 272, 595, 144, 25);
    CheckBoxOldAndroid = place(new QCheckBox(this), "CheckBoxOldAndroid", 128, 634, 201, 25);
    PanelDiskSpaceGlobal = place(new Panel(QString(), this), "PanelDiskSpaceGlobal", 24, 665, 185, 22);
    PanelDiskSpaceAppsMedia = place(new Panel(QString(), this), "PanelDiskSpaceAppsMedia", 231, 665, 185, 22);
    PanelPhotoVideoNumber = place(new Panel(QString(), this), "PanelPhotoVideoNumber", 24, 693, 185, 22);
    RichEdit2 = place(new TextPane(this), "RichEdit2", 670, 8, 568, 728);
    RichEdit2->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    RichEdit2->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    RichEdit2->setPaneFont(windowFont());
    PanelSaveGroups = place(new Panel(QString(), this), "PanelSaveGroups", 432, 663, 121, 22);
    CheckBoxMove = place(new QCheckBox(this), "CheckBoxMove", 567, 638, 97, 17);
    PanelGroupsInstructions = place(new Panel(QString(), this), "PanelGroupsInstructions", 432, 634, 121, 23);
    Image321 = place(new QLabel(this), "Image321", 599, 661, 41, 41);
    Image321->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    TimerUpdate = new QTimer(this);
    TimerUpdate->setObjectName(u"TimerUpdate"_qs);
    TimerUpdate->setInterval(2000);

    const QList<QWidget*> tabOrder = {RichEdit1,
                                      PanelInstructions,
                                      PanelRawDump,
                                      PanelCSVLibreOffice,
                                      PanelCSVExcel,
                                      PanelPhoneReport,
                                      RadioButtonFR,
                                      RadioButtonEN,
                                      CheckBoxVerbose,
                                      CheckBoxEssentials,
                                      PanelClearEdit,
                                      PanelUpdate,
                                      PanelGenerateAppsList,
                                      PanelConnect,
                                      PanelWifi,
                                      CheckBoxOldAndroid,
                                      PanelDiskSpaceGlobal,
                                      PanelDiskSpaceAppsMedia,
                                      PanelPhotoVideoNumber,
                                      RichEdit2,
                                      PanelSaveGroups,
                                      CheckBoxMove,
                                      PanelGroupsInstructions};
    for (qsizetype i = 1; i < tabOrder.size(); ++i)
        setTabOrder(tabOrder[i - 1], tabOrder[i]);
    // The captions at start are the English ones.
    UpdatePanelTexts();
}

void TForm13::wireHandlers() {
    const auto onClick = [this](Panel* panel, void (TForm13::*handler)()) {
        connect(panel, &Panel::clicked, this, [this, handler] { guard([this, handler] { (this->*handler)(); }); });
    };
    onClick(PanelInstructions, &TForm13::PanelInstructionsClick);
    onClick(PanelRawDump, &TForm13::PanelRawDumpClick);
    onClick(PanelCSVLibreOffice, &TForm13::PanelCSVLibreOfficeClick);
    onClick(PanelCSVExcel, &TForm13::PanelCSVExcelClick);
    onClick(PanelPhoneReport, &TForm13::PanelPhoneReportClick);
    onClick(PanelClearEdit, &TForm13::PanelClearEditClick);
    onClick(PanelUpdate, &TForm13::PanelUpdateClick);
    onClick(PanelGenerateAppsList, &TForm13::PanelGenerateAppsListClick);
    onClick(PanelConnect, &TForm13::PanelConnectClick);
    onClick(PanelWifi, &TForm13::PanelWifiClick);
    onClick(PanelDiskSpaceGlobal, &TForm13::CalculateGlobalDiskSpace);
    onClick(PanelDiskSpaceAppsMedia, &TForm13::PanelDiskSpaceAppsMediaClick);
    onClick(PanelPhotoVideoNumber, &TForm13::PanelPhotoVideoNumberClick);
    onClick(PanelSaveGroups, &TForm13::PanelSaveGroupsClick);
    onClick(PanelGroupsInstructions, &TForm13::PanelGroupsInstructionsClick);

    // A radio button's handler runs only when it becomes the selected one.
    connect(RadioButtonFR, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            guard([this] { RadioButtonFRClick(); });
    });
    connect(RadioButtonEN, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            guard([this] { RadioButtonENClick(); });
    });
    connect(TimerUpdate, &QTimer::timeout, this, [this] { guard([this] { TimerUpdateTimer(); }); });

    RichEdit1->onDoubleClick = [this] { guard([this] { RichEdit1DblClick(RichEdit1); }); };
    RichEdit2->onDoubleClick = [this] { guard([this] { RichEdit2DblClick(RichEdit2); }); };
    RichEdit2->onKeyDown = [this](int& key) { guard([this, &key] { RichEdit2KeyDown(RichEdit2, key); }); };
    RichEdit2->onContextPopup = [this](bool& handled) {
        guard([this, &handled] { RichEdit2ContextPopup(RichEdit2, handled); });
    };
    RichEdit2->onFileDropped = [this](const QString& path) {
        // The groups pane never changes under a running operation: a file dropped meanwhile waits for its end.
        if (handlersRunning_ > 0)
            droppedDuringOperation_ = path;
        else
            guard([this, &path] { OpenGroupsFile(path); });
    };
    RichEdit2->onOpenKey = [this] { guard([this] { RichEdit2OpenKey(); }); };
}

void TForm13::guard(const std::function<void()>& handler) {
    ++handlersRunning_;
    try {
        // A handler's changes to the panes are laid out once, when it ends, not line by line.
        const TextPane::EditBatch log(RichEdit1);
        const TextPane::EditBatch groups(RichEdit2);
        handler();
    } catch (const OperationCancelled&) {
        host_->write(bridge::Kind::Failure, host_->cancelledLine());
    } catch (const PhoneLost& lost) {
        host_->write(bridge::Kind::Failure, host_->lostLine(lost));
    } catch (const TelvaneError& e) {
        dialogs::showError(this, errorReportText(e.message(LangFR)));
    } catch (const std::exception& e) {
        dialogs::showError(this, errorReportText(QString::fromUtf8(e.what())));
    } catch (...) {
        dialogs::showError(this, errorReportText(u"Unexpected error"_qs));
    }
    // A timer's tick may run while an operation waits on a command; only the operation's end may close.
    if (--handlersRunning_ > 0)
        return;
    const QString dropped = std::exchange(droppedDuringOperation_, QString());
    if (closeRequested_) {
        closeRequested_ = false;
        close();
    } else if (!dropped.isNull()) {
        guard([this, &dropped] { OpenGroupsFile(dropped); });
    }
}

void TForm13::writeLine(const QString& line, const LogStyle& style) {
    AddFormattedLine(line, QColor(style.color), style.size, style.bold, RichEdit1);
}

void TForm13::FormCreate() {
    LangFR = false;
    WriteInstructions();
    UpdatePanelTexts();
    CheckForUpdates();
}

void TForm13::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!shown_) {
        shown_ = true;
        guard([this] { FormShow(); });
    }
}

void TForm13::FormShow() {
    UpdateGradient();
}

void TForm13::PanelClearEditClick() {
    RichEdit1->clearPane();
}
