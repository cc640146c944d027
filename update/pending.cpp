#include "app/tform13.h"

void TForm13::LoadCurrentVersion() {}
QString TForm13::GetLatestVersion() {
    return {};
}
void TForm13::CheckForUpdates() {}
void TForm13::TimerUpdateTimer() {}
void TForm13::PanelUpdateClick() {}
