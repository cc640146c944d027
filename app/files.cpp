#include "app/files.h"

#include "app/errors.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QStandardPaths>

namespace files {

QString outputFolder() {
    return QDir(QStandardPaths::writableLocation(QStandardPaths::DesktopLocation)).filePath(u"Telvane"_qs);
}

QString ensureOutputFolder() {
    const QString folder = outputFolder();
    if (!QDir().mkpath(folder))
        throw TelvaneError(u"Cannot create folder \"%1\""_qs.arg(shown(folder)));
    return folder;
}

void writeWholeFile(const QString& path, const QByteArray& bytes) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        throw TelvaneError(u"Cannot write file \"%1\": %2"_qs.arg(shown(path), file.errorString()));
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
