#include "app/tform13.h"

void TForm13::PanelGenerateAppsListClick() {}
void TForm13::GenerateAppsListFile() {}
void TForm13::RichEdit1DblClick(QObject*) {}
void TForm13::RichEdit2DblClick(QObject*) {}
void TForm13::RichEdit2ContextPopup(QObject*, bool&) {}
void TForm13::RichEdit2KeyDown(QObject*, int&) {}
void TForm13::PanelSaveGroupsClick() {}
void TForm13::PanelGroupsInstructionsClick() {}
