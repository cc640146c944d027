#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// Where adb is: beside our own executable when an executable file of that name is there, else the bare
// name for the command interpreter's search path. Looked up anew by every operation.
QString ADBPath();

namespace bridge {

// Runs one command line through the system's command interpreter (cmd.exe /C on Windows, /bin/sh -c
// elsewhere) with no standard input and no time limit, and returns everything it printed on standard
// output and standard error, in the order written, cut into lines once at the end. A command that cannot
// be started gives the single line "ERROR: CreateProcess failed for: " followed by the command line.
QStringList runCommandLine(const QString& cmd);

// What cmd.exe gets after its name: /S /C and the whole line in one more pair of double quotes. /S always
// strips exactly that pair, so the quotes inside the line (the adb path, su -c "...") stay as written and
// "| wc -l" inside them never runs on the PC.
QString windowsInterpreterArguments(const QString& cmd);

// Phones print UTF-8; anything that is not valid UTF-8 is read in the system's 8-bit code page.
// Zero bytes are dropped.
QString decodeOutput(QByteArray bytes);

} // namespace bridge
