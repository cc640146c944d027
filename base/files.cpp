#include "base/files.h"

#include "base/errors.h"
#include "base/messages.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

#ifdef Q_OS_LINUX
#include <fcntl.h>
#endif
#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace {

const Message CannotCreate{"Cannot create folder \"%1\": %2", "Impossible de créer le dossier « %1 » : %2"};
const Message CannotWrite{"Cannot write file \"%1\": %2", "Impossible d'écrire le fichier « %1 » : %2"};
const Message CannotRead{"Cannot read file \"%1\": %2", "Impossible de lire le fichier « %1 » : %2"};

} // namespace

namespace files {

QString outputFolder() {
    return QDir(QStandardPaths::writableLocation(QStandardPaths::DesktopLocation)).filePath(u"Telvane"_qs);
}

QString ensureFolder(const QString& folder) {
    if (!QDir().mkpath(folder)) {
        const int reason = lastFileError();
        throw TelvaneError(CannotCreate.in(false).arg(shown(folder), fileErrorText(reason, false)),
                           CannotCreate.in(true).arg(shown(folder), fileErrorText(reason, true)));
    }
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
        fail(lastFileError());
}

void WholeFileWriter::write(const QByteArray& bytes) {
    // Qt says only "Unknown error" of a write that found the disk full: the system's own code says why.
    if (file_.write(bytes) != bytes.size() || !file_.flush())
        fail(lastFileError());
#ifdef Q_OS_LINUX
    // The disk starts on what is written now, not at the commit, which then waits for less. Only a hint.
    ::sync_file_range(file_.handle(), 0, 0, SYNC_FILE_RANGE_WRITE);
#endif
}

void WholeFileWriter::checkReplaceable() {
#ifdef Q_OS_WIN
    const QString target = QDir::toNativeSeparators(file_.fileName());
    const HANDLE file =
        CreateFileW(reinterpret_cast<const wchar_t*>(target.utf16()), DELETE,
                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        CloseHandle(file);
        return;
    }
    if (const DWORD reason = GetLastError(); reason == ERROR_SHARING_VIOLATION || reason == ERROR_LOCK_VIOLATION)
        fail(int(reason));
#endif
}

void WholeFileWriter::commit() {
    if (!file_.commit())
        fail(lastFileError());
}

void WholeFileWriter::fail(int reason) {
    const QString path = shown(file_.fileName());
    throw TelvaneError(CannotWrite.in(false).arg(path, fileErrorText(reason, false)),
                       CannotWrite.in(true).arg(path, fileErrorText(reason, true)));
}

QByteArray readWholeFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        const int reason = lastFileError();
        throw TelvaneError(CannotRead.in(false).arg(shown(path), fileErrorText(reason, false)),
                           CannotRead.in(true).arg(shown(path), fileErrorText(reason, true)));
    }
    return file.readAll();
}

QString shown(const QString& path) {
    return QDir::toNativeSeparators(path);
}

} // namespace files
