#include "base/files.h"
#include "base/strlist.h"
#include "reports/csvexport.h"
#include "reports/rawdump.h"
#include "testsupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>

#include <cstdio>
#include <functional>

namespace {

// A recorded command output repeated until it holds about this many bytes.
QStringList outputOfSize(const char* slug, qsizetype bytes) {
    const QString once =
        QString::fromUtf8(testsupport::dataBytes(u"profiles/modern/"_qs + QString::fromLatin1(slug) + u".out"_qs));
    QString text;
    text.reserve(bytes + once.size());
    while (text.size() < bytes)
        text += once;
    return strlist::fromText(text);
}

void report(const char* what, qint64 ms) {
    std::printf("%s: %lld ms\n", what, static_cast<long long>(ms));
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);

    reports::RawOutputs big;
    for (std::size_t i = 0; i < big.size(); ++i)
        big[i] = outputOfSize(testsupport::ReportSlugs[i], 2 * 1024 * 1024);
    report("RAW dump assembly of six 2 MB outputs, Essentials off", testsupport::bestOfThreeMs([&] {
               strlist::fileBytes(reports::AssembleRawDump(big, [] { return false; }));
           }));
    report("RAW dump assembly of six 2 MB outputs, Essentials on",
           testsupport::bestOfThreeMs([&] { strlist::fileBytes(reports::AssembleRawDump(big, [] { return true; })); }));

    reports::RawOutputs normal;
    for (std::size_t i = 0; i < normal.size(); ++i)
        normal[i] = outputOfSize(testsupport::ReportSlugs[i], 1);
    const QByteArray dumpOnce = strlist::fileBytes(reports::AssembleRawDump(normal, [] { return false; }));
    QByteArray dump = dumpOnce;
    while (dump.size() < 10 * 1024 * 1024)
        dump += dumpOnce.mid(3);

    QTemporaryDir folder;
    const QString rawPath = QDir(folder.path()).filePath(QString::fromUtf16(reports::RawDumpFileName));
    files::writeWholeFile(rawPath, dump);
    const auto exportAll = [&](const QString& separator, const QString& suffix) {
        const QStringList rawLines = strlist::fromFileBytes(files::readWholeFile(rawPath));
        const reports::CsvExport result = reports::SplitIntoCategories(rawLines, separator, false);
        for (const reports::CategoryRows& category : result.categories)
            files::writeWholeFile(QDir(folder.path()).filePath(reports::CategoryFileName(category.name, suffix)),
                                  strlist::fileBytes(category.lines));
    };
    report("CSV export (Excel) of a 10 MB RAW dump, read to files written",
           testsupport::bestOfThreeMs([&] { exportAll(u","_qs, u"_Excel"_qs); }));
    report("CSV export (LibreOffice) of a 10 MB RAW dump, read to files written",
           testsupport::bestOfThreeMs([&] { exportAll(u";"_qs, u"_LibreOffice"_qs); }));
    return 0;
}
