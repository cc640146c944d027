#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

namespace apps {

// The short readable name of one package-manager line ("package:<path>=<package>"), or an empty text
// when the line names no package or only a system or vendor component.
QString readableName(QStringView rawLine);

// Old phones cannot list third-party packages: what is in the full listing and not in the system one.
// Whole lines are compared, case-insensitively; full-listing lines are trimmed, system lines are not.
QStringList subtractListing(const QStringList& total, const QStringList& system);

// The name a ticked log line carries, given the line without its check mark: the text between the
// first "]" and the first " (", trimmed. Empty when there is none.
QString nameOfTickedLine(QStringView lineText);

} // namespace apps
