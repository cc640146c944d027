#pragma once

#include <QString>

// Every text the user reads exists in English and French side by side, so neither can be forgotten.
struct Message {
    const char* en;
    const char* fr;

    QString in(bool langFR) const { return QString::fromUtf8(langFR ? fr : en); }
};
