#pragma once

#include <QByteArray>
#include <QSaveFile>
#include <QString>

namespace files {

// The folder the reports are written to: the user's desktop joined with "Telvane".
QString outputFolder();
// Creates a folder with any missing parents and returns it; raises TelvaneError when it cannot.
QString ensureFolder(const QString& folder);
// The output folder, made when missing.
QString ensureOutputFolder();
// Writes a whole file or nothing: an earlier file stays intact when the write fails. Raises TelvaneError.
void writeWholeFile(const QString& path, const QByteArray& bytes);

// A whole file written piece by piece as its parts come, so that the disk works meanwhile. It replaces the
// earlier file only on commit, once the data is on the disk; dropped before that, or after any failure, it
// leaves the earlier file as it was. Every step raises TelvaneError when it fails.
class WholeFileWriter {
public:
    explicit WholeFileWriter(const QString& path);
    void write(const QByteArray& bytes);
    // Raises the error commit() would meet where the system can tell beforehand: on Windows, a program (a
    // spreadsheet) that holds the earlier file open. Files replaced together are all checked first.
    void checkReplaceable();
    void commit();

private:
    [[noreturn]] void fail(int reason);

    QSaveFile file_;
};

// Reads a whole file; raises TelvaneError when it cannot.
QByteArray readWholeFile(const QString& path);
// A path as the user's system writes it, for messages.
QString shown(const QString& path);

} // namespace files
