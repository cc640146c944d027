#include "app/windowhost.h"
#include "storage/dftable.h"
#include "storage/sizes.h"
#include "ui/textpane.h"

#include "testsupport.h"

#include <QApplication>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <limits>

int main(int argc, char** argv) {
    QApplication app(argc, argv);

    QStringList dfLines{u"Filesystem        Size Used Avail Use% Mounted on"_qs};
    for (int i = 1; i < 20000; ++i)
        dfLines.append(u"/dev/block/loop"_qs + QString::number(i) +
                       u"   42M  42M     0 100% /apex/com.android.vndk.v"_qs + QString::number(i) + u"@1"_qs);
    // The output log as the window sets it up, without undo.
    TextPane pane;
    pane.setUndoRedoEnabled(false);
    const qint64 table = testsupport::bestOfThreeMs([&] {
        ShowDFOutput(dfLines, &pane);
        // The next line written brings the caret into view, which lays out the whole table.
        pane.appendLine(QString());
    });
    std::printf("ShowDFOutput on 20,000 lines: %lld ms\n", static_cast<long long>(table));

    const QStringList sizes{u"0"_qs,    u"512"_qs, u"4.0K"_qs, u"1.5G"_qs, u"1,5G"_qs,
                            u"2.3T"_qs, u"-1K"_qs, u"12X"_qs,  u"du:"_qs,  u" 16k "_qs};
    qint64 sink = 0;
    const qint64 parsing = testsupport::bestOfThreeMs([&] {
        for (int i = 0; i < 1000000; ++i)
            sink += ConvertSizeToBytes(sizes[i % sizes.size()]);
    });
    std::printf("1,000,000 ConvertSizeToBytes calls: %lld ms\n", static_cast<long long>(parsing));
    return sink == 42 ? 1 : 0;
}
