#pragma once

#include <QFont>
#include <QFontDatabase>

// The named font where it is installed, else the system's font of the given kind; regular, at that size.
QFont installedFontOr(const QString& family, QFontDatabase::SystemFont fallback, int pointSize);
