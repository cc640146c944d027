#pragma once

#include <QByteArray>
#include <QString>

namespace files {

// The folder the reports are written to: the user's desktop joined with "Telvane".
QString outputFolder();
// Creates the output folder with any missing parents; raises TelvaneError when it cannot.
QString ensureOutputFolder();
// Writes a whole file or nothing: an earlier file stays intact when the write fails. Raises TelvaneError.
void writeWholeFile(const QString& path, const QByteArray& bytes);
// Reads a whole file; raises TelvaneError when it cannot.
QByteArray readWholeFile(const QString& path);
// A path as the user's system writes it, for messages.
QString shown(const QString& path);

} // namespace files
