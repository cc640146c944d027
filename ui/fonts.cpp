#include "ui/fonts.h"

QFont installedFontOr(const QString& family, QFontDatabase::SystemFont fallback, int pointSize) {
    QFont font = QFontDatabase::hasFamily(family) ? QFont(family) : QFontDatabase::systemFont(fallback);
    font.setPointSize(pointSize);
    font.setWeight(QFont::Normal);
    font.setItalic(false);
    return font;
}
