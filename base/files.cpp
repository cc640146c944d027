#include "base/files.h"

#include "base/errors.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

#ifdef Q_OS_LINUX
#include <fcntl.h>
#endif

namespace files {

QString outputFolder() {
    return QDir(QStandardPaths::writableLocation(QStandardPaths::DesktopLocation)).filePath(u"Telvane"_qs);
}

QString ensureFolder(const QString& folder) {
    if (!QDir().mkpath(folder))
        throw TelvaneError(u"Cannot create folder \"%1\""_qs.arg(shown(folder)));
    return folder;
}

QString ensureOutputFolder() {
    return ensureFolder(outputFolder());
}

void writeWholeFile(const QString& path, const QByteArray& bytes) {
    WholeFileWriter file(path);
    file.write(bytes);
    file.commit();
}

WholeFileWriter::WholeFileWriter(const QString& path) : file_(path) {
    if (!file_.open(QIODevice::WriteOnly))
        fail();
}

void WholeFileWriter::write(const QByteArray& bytes) {
    if (file_.write(bytes) != bytes.size() || !file_.flush())
        fail();
#ifdef Q_OS_LINUX
    // The disk starts on what is written now, not at the commit, which then waits for less. Only a hint.
    ::sync_file_range(file_.handle(), 0, 0, SYNC_FILE_RANGE_WRITE);
#endif
}

void WholeFileWriter::commit() {
    if (!file_.commit())
        fail();
}

void WholeFileWriter::fail() {
    throw TelvaneError(u"Cannot write file \"%1\": %2"_qs.arg(shown(file_.fileName()), file_.errorString()));
}

QByteArray readWholeFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw TelvaneError(u"Cannot read file \"%1\": %2"_qs.arg(shown(path), file.errorString()));
    return file.readAll();
}

QString shown(const QString& path) {
    return QDir::toNativeSeparators(path);
}

} // namespace files
