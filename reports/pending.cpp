#include "app/tform13.h"

void TForm13::PanelRawDumpClick() {}
void TForm13::GenerateRawDump() {}
void TForm13::PanelCSVLibreOfficeClick() {}
void TForm13::PanelCSVExcelClick() {}
void TForm13::GenerateCSVLibreOffice() {}
void TForm13::GenerateCSVExcel() {}
void TForm13::GenerateCategoryCSVs(const QString&, const QString&) {}
