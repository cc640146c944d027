// The window's phone operations, one line each: the map of the program. Each names the function that does
// the work and the folder it lives in; the window's side of them is WindowHost.
#include "app/tform13.h"

#include "app/wifidialog.h"
#include "app/windowhost.h"
#include "apps/appslist.h"
#include "bridge/host.h"
#include "reports/csvexport.h"
#include "reports/phonereport.h"
#include "reports/rawdump.h"
#include "storage/dftable.h"
#include "storage/duspace.h"
#include "storage/mediacount.h"
#include "ui/textpane.h"

// Device bridge (bridge/).
bool TForm13::IsDeviceConnected() {
    return host_->IsDeviceConnected();
}

void TForm13::ExecuteADBCommand(const QString& Cmd, QStringList& Output) {
    Output = host_->ExecuteADBCommand(Cmd);
}

catalogue::Target TForm13::adbTarget() const {
    return host_->adbTarget();
}

void TForm13::PanelConnectClick() {
    if (const QString folder = bridge::TestConnection(*host_); !folder.isNull())
        CurrentDirectory = folder;
}

// Phones over Wi-Fi (wifi/): the dialog runs each operation on the window's side of them.
void TForm13::PanelWifiClick() {
    WifiDialog(*this, *host_).exec();
}

// Device reports (reports/).
void TForm13::PanelRawDumpClick() {
    RichEdit1->clearPane();
    GenerateRawDump();
}

void TForm13::GenerateRawDump() {
    reports::GenerateRawDump(*host_);
}

void TForm13::PanelCSVLibreOfficeClick() {
    RichEdit1->clearPane();
    GenerateCSVLibreOffice();
}

void TForm13::PanelCSVExcelClick() {
    RichEdit1->clearPane();
    GenerateCSVExcel();
}

void TForm13::GenerateCSVLibreOffice() {
    reports::GenerateCSVLibreOffice(*host_);
}

void TForm13::GenerateCSVExcel() {
    reports::GenerateCSVExcel(*host_);
}

void TForm13::GenerateCategoryCSVs(const QString& Separator, const QString& Suffix) {
    reports::GenerateCategoryCSVs(*host_, Separator, Suffix);
}

void TForm13::PanelPhoneReportClick() {
    RichEdit1->clearPane();
    GeneratePhoneReport();
}

void TForm13::GeneratePhoneReport() {
    reports::GeneratePhoneReport(*host_);
}

// Storage analysis (storage/).
void TForm13::CalculateGlobalDiskSpace() {
    storage::CalculateGlobalDiskSpace(*host_);
}

void TForm13::PanelDiskSpaceAppsMediaClick() {
    RichEdit1->clearPane();
    CalculateAppsAndMediaSpace();
}

void TForm13::CalculateAppsAndMediaSpace() {
    storage::CalculateAppsAndMediaSpace(*host_);
}

bool TForm13::GetDuSizeAndLog(const catalogue::Target& adb, const QString& Path, const QString& CmdLabel,
                              const QString& ErrorOrAccessDeniedMsg, QString& SizeStr) {
    return storage::GetDuSizeAndLog(*host_, adb, Path, CmdLabel, ErrorOrAccessDeniedMsg, SizeStr);
}

void TForm13::PanelPhotoVideoNumberClick() {
    RichEdit1->clearPane();
    RichEdit1->clearPane();
    CalculatePhotoVideoCounts();
}

void TForm13::CalculatePhotoVideoCounts() {
    storage::CalculatePhotoVideoCounts(*host_);
}

// Applications (apps/); the groups pane is the window's own (groupspane.cpp, opengroups.cpp, savegroups.cpp).
void TForm13::PanelGenerateAppsListClick() {
    GenerateAppsListFile();
}

void TForm13::GenerateAppsListFile() {
    apps::GenerateAppsListFile(*host_);
}
