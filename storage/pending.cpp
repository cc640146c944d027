#include "app/tform13.h"

void TForm13::CalculateGlobalDiskSpace() {}
void TForm13::PanelDiskSpaceAppsMediaClick() {}
void TForm13::CalculateAppsAndMediaSpace() {}
bool TForm13::GetDuSizeAndLog(const QString&, const QString&, const QString&, const QString&, QString&) {
    return false;
}
void TForm13::PanelPhotoVideoNumberClick() {}
void TForm13::CalculatePhotoVideoCounts() {}
