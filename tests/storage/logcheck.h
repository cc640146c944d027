#pragma once

#include "testsupport.h"
#include "ui/textpane.h"

#include <QColor>
#include <QTest>

// What a log line must look like. An empty text stands for a separator line, whose look is not ours.
struct Look {
    QString text;
    QRgb color = 0;
    int size = 0;
    bool bold = false;
};

inline Look empty() {
    return {};
}

// Compares the whole log line by line, so a missing, extra or misformatted line names itself.
inline void compareLog(const TextPane* pane, const QList<Look>& expected) {
    const QList<testsupport::LineLook> looks = testsupport::lineLooks(pane);
    for (qsizetype i = 0; i < std::min(looks.size(), expected.size()); ++i) {
        const QByteArray where = "line " + QByteArray::number(i) + ": " + looks[i].text.toUtf8();
        QVERIFY2(looks[i].text == expected[i].text,
                 qPrintable(u"line %1 is \"%2\", expected \"%3\""_qs.arg(i).arg(looks[i].text, expected[i].text)));
        if (expected[i].text.isEmpty())
            continue;
        QVERIFY2(looks[i].color == QColor(expected[i].color), where.constData());
        QVERIFY2(looks[i].size == expected[i].size, where.constData());
        QVERIFY2(looks[i].bold == expected[i].bold, where.constData());
    }
    QCOMPARE(looks.size(), expected.size());
}

using testsupport::SimLog;

// A storage test phone of tests/data/storage/profiles, or a shared profile by name.
inline void useStorageProfile(const QString& name) {
    testsupport::useProfile(testsupport::dataPath(u"storage/profiles/"_qs + name));
}
