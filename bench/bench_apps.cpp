#include "apps/cleaning.h"
#include "apps/rtf.h"
#include "apps/rtfreader.h"
#include "base/files.h"
#include "base/strlist.h"
#include "testsupport.h"
#include "ui/textpane.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <functional>
#include <limits>

namespace {

// Best of three runs, in milliseconds; `prepare` is not timed.
QStringList packageListing(int n) {
    QStringList lines;
    lines.reserve(n);
    for (int i = 0; i < n; ++i)
        lines.append(u"package:/data/app/~~k%1Q==/com.maker%2.tool%1-Zx==/base.apk=com.maker%2.tool%1"_qs.arg(i).arg(
            (n - i) % 97));
    return lines;
}

QStringList names(int n, const QString& prefix = QString()) {
    QStringList lines;
    lines.reserve(n);
    for (int i = 0; i < n; ++i)
        lines.append(prefix + u"app.name%1"_qs.arg((i * 7919) % n));
    return lines;
}

void report(const QString& what, qint64 ms) {
    QTextStream(stdout) << what << ": " << ms << " ms\n";
}

qint64 timedPrepared(const std::function<void()>& prepare, const std::function<void()>& work) {
    return testsupport::bestOfThreeMs(work, prepare);
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    testsupport::DialogRecorder dialogs;
    TForm13 form(testsupport::quietUpdateServer());

    for (const int n : {2000, 4000}) {
        const QStringList output = packageListing(n);
        report(u"apps list, %1 packages from output to sorted names in the log"_qs.arg(n),
               timedPrepared([&] { form.RichEdit1->clearPane(); },
                             [&] {
                                 QStringList cleaned;
                                 for (const QString& line : output)
                                     if (QString name = apps::readableName(line); !name.isEmpty())
                                         cleaned.append(name);
                                 strlist::sortNoCase(cleaned);
                                 form.RichEdit1->appendLines(cleaned);
                             }));
    }

    for (const int n : {1000, 2000}) {
        report(u"ticking %1 lines"_qs.arg(n), timedPrepared(
                                                  [&] {
                                                      form.RichEdit1->clearPane();
                                                      form.RichEdit1->appendLines(names(n));
                                                  },
                                                  [&] {
                                                      for (int i = 0; i < n; ++i) {
                                                          form.RichEdit1->setSelection(form.RichEdit1->lineStart(i), 0);
                                                          form.RichEdit1DblClick(form.RichEdit1);
                                                      }
                                                  }));
    }

    for (const int n : {1000, 2000}) {
        report(u"transfer of %1 ticked lines into a group, with its sort"_qs.arg(n),
               timedPrepared(
                   [&] {
                       form.RichEdit1->clearPane();
                       form.RichEdit1->appendLines(names(n, u"✔ "_qs));
                       form.RichEdit2->clearPane();
                       form.RichEdit2->appendLines({u"--- A ---"_qs, u"old"_qs, QString(), u"--- B ---"_qs});
                       form.RichEdit2->setSelection(0, 3);
                   },
                   [&] {
                       bool handled = false;
                       form.RichEdit2ContextPopup(form.RichEdit2, handled);
                   }));
    }

    for (const int n : {5000, 10000}) {
        TextPane pane;
        for (int i = 0; i < n; ++i) {
            if (i % 50 == 0)
                AddFormattedLine(u"--- GROUP %1 ---"_qs.arg(i), QColor(0xFF0000), 14, true, &pane);
            else
                AddFormattedLine(u"name.é😀{%1}"_qs.arg(i), QColor(Qt::black), 8, false, &pane);
        }
        QByteArray rtf;
        report(u"RTF export of a %1-line pane"_qs.arg(n),
               timedPrepared([] {}, [&] { rtf = rtf::fromDocument(*pane.document()); }));
        report(u"RTF reading of that %1-line file"_qs.arg(n), timedPrepared([] {}, [&] { rtf::textLines(rtf); }));
        QTemporaryDir dir;
        const QString path = dir.filePath(u"AppGroups.txt"_qs);
        files::writeWholeFile(path, rtf);
        report(u"opening that file into the emptied groups pane"_qs,
               timedPrepared([&] { form.RichEdit2->clearPane(); },
                             [&] { form.guard([&] { form.OpenGroupsFile(path); }); }));
    }
    return 0;
}
