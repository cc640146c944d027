// Writing into the output log and painting the background, on a visible window.
#include "app/gradient.h"
#include "testsupport.h"
#include "ui/textpane.h"

#include <QApplication>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <functional>

namespace {

qint64 timedPrepared(const std::function<void()>& prepare, const std::function<void()>& work) {
    return testsupport::bestOfThreeMs(work, prepare);
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    testsupport::DialogRecorder dialogs;
    TForm13 form(testsupport::quietUpdateServer());
    form.show();
    if (!QTest::qWaitForWindowExposed(&form))
        return 1;
    TextPane* log = form.RichEdit1;

    // Each figure is one operation run the way a click runs it, through the window's handler guard.
    const auto clear = [log] { log->clearPane(); };
    const qint64 formatted = timedPrepared(clear, [&form, log] {
        form.guard([log] {
            for (int i = 0; i < 5000; ++i)
                AddFormattedLine(u"  -> Fetching size for line %1..."_qs.arg(i), QColor(0x800000), 9, false, log);
        });
    });
    const qint64 plain = timedPrepared(clear, [&form, log] {
        form.guard([log] {
            for (int i = 0; i < 5000; ++i)
                log->appendLine(u"com.example.package%1"_qs.arg(i));
        });
    });
    // The cost of one more line must not grow with the log: time 1,000 appends to an empty log and to a
    // log that already holds 15,000 lines.
    const auto thousandLines = [&form, log] {
        form.guard([log] {
            for (int i = 0; i < 1000; ++i)
                log->appendLine(u"line %1"_qs.arg(i));
        });
    };
    const qint64 intoEmpty = timedPrepared(clear, thousandLines);
    const qint64 intoFull = timedPrepared(
        [log] {
            log->clearPane();
            QStringList many;
            for (int i = 0; i < 15000; ++i)
                many.append(u"earlier line %1"_qs.arg(i));
            log->appendLines(many);
            QCoreApplication::processEvents();
        },
        thousandLines);
    const qint64 paint = timedPrepared([] {}, [] { gradient::paint(1246, 744); });

    std::printf("5,000 AddFormattedLine into the visible output log: %lld ms\n", static_cast<long long>(formatted));
    std::printf("5,000 plain appends into the visible output log: %lld ms\n", static_cast<long long>(plain));
    std::printf("1,000 plain appends into an empty log: %lld ms; into a 15,000-line log: %lld ms\n",
                static_cast<long long>(intoEmpty), static_cast<long long>(intoFull));
    std::printf("one gradient, 1246 x 744: %lld ms\n", static_cast<long long>(paint));
    return 0;
}
