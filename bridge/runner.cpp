#include "bridge/runner.h"

#include "app/strlist.h"
#include "app/textpane.h"
#include "app/tform13.h"

#include <QApplication>
#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStringDecoder>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace {

#ifdef Q_OS_WIN
const QString AdbFileName = QStringLiteral("adb.exe");
#else
const QString AdbFileName = QStringLiteral("adb");
#endif

const LogStyle Echo{logcolor::Grey, 9, false};

struct BusyCursor {
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

// The system's command interpreter with the command line handed over unchanged.
void setInterpreter(QProcess& process, const QString& cmd) {
#ifdef Q_OS_WIN
    process.setProgram(QStringLiteral("cmd.exe"));
    process.setNativeArguments(bridge::windowsInterpreterArguments(cmd));
    process.setCreateProcessArgumentsModifier(
        [](QProcess::CreateProcessArguments* args) { args->flags |= CREATE_NO_WINDOW; });
#else
    process.setProgram(QStringLiteral("/bin/sh"));
    process.setArguments({QStringLiteral("-c"), cmd});
#endif
}

} // namespace

QString ADBPath() {
    const QString besideUs = QDir(QCoreApplication::applicationDirPath()).filePath(AdbFileName);
    // QFileInfo follows a symbolic link to its target; a folder or a plain file of that name is no adb.
    if (const QFileInfo info(besideUs); info.isFile() && info.isExecutable())
        return besideUs;
    return QStringLiteral("adb");
}

namespace bridge {

QString windowsInterpreterArguments(const QString& cmd) {
    return u"/S /C \""_qs + cmd + u'"';
}

QString decodeOutput(QByteArray bytes) {
    bytes.removeIf([](char c) { return c == '\0'; });
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
#ifdef Q_OS_WIN
    QStringDecoder local(QStringConverter::System);
    return local.decode(bytes);
#else
    return QString::fromLatin1(bytes);
#endif
}

QStringList runCommandLine(const QString& cmd) {
    QProcess process;
    setInterpreter(process, cmd);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.setStandardInputFile(QProcess::nullDevice());
    process.start(QIODevice::ReadOnly);
    if (!process.waitForStarted(-1))
        return {QStringLiteral("ERROR: CreateProcess failed for: ") + cmd};
    // The whole output is read before it is cut into lines, so no line is ever split where a read ended.
    process.waitForFinished(-1);
    return strlist::fromText(decodeOutput(process.readAll()));
}

} // namespace bridge

void TForm13::ExecuteADBCommand(const QString& Cmd, QStringList& Output) {
    if (CheckBoxVerbose->isChecked())
        writeLine(QStringLiteral("> ") + Cmd, Echo);
    {
        // The window cannot react while a command runs; at least it says so.
        const BusyCursor busy;
        Output = bridge::runCommandLine(Cmd);
    }
    if (CheckBoxVerbose->isChecked())
        writeLine(QStringLiteral("Output:\r\n") + strlist::joined(Output), Echo);
}
