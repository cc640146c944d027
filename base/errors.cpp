#include "base/errors.h"

#include "base/messages.h"

#include <cerrno>
#include <cstring>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace {

const Message NoSpace{"No space left on the device", "Plus d'espace libre sur le périphérique"};
const Message NoQuota{"Disk quota exceeded", "Quota de disque dépassé"};
const Message NoPermission{"Permission denied", "Permission refusée"};
const Message ReadOnly{"The disk is read-only", "Le disque est en lecture seule"};
#ifdef Q_OS_WIN
const Message HeldOpen{"The file is open in another program", "Le fichier est ouvert dans un autre programme"};
#endif
const Message IsFolder{"A folder has that name", "Un dossier porte ce nom"};
const Message NotThere{"No such file or folder", "Aucun fichier ou dossier de ce nom"};

const Message* errnoMessage(int code) {
    switch (code) {
    case ENOSPC:
        return &NoSpace;
#ifdef EDQUOT
    case EDQUOT:
        return &NoQuota;
#endif
    case EACCES:
    case EPERM:
        return &NoPermission;
    case EROFS:
        return &ReadOnly;
    case EISDIR:
        return &IsFolder;
    case ENOENT:
        return &NotThere;
    default:
        return nullptr;
    }
}

QString errnoText(int code, bool langFR) {
    if (const Message* message = errnoMessage(code))
        return message->in(langFR);
    return QString::fromLocal8Bit(std::strerror(code));
}

} // namespace

#ifdef Q_OS_WIN
int lastFileError() {
    return int(GetLastError());
}

QString fileErrorText(int code, bool langFR) {
    switch (DWORD(code)) {
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return NoSpace.in(langFR);
    case ERROR_ACCESS_DENIED:
        return NoPermission.in(langFR);
    case ERROR_WRITE_PROTECT:
        return ReadOnly.in(langFR);
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
        return NotThere.in(langFR);
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        return HeldOpen.in(langFR);
    default:
        break;
    }
    wchar_t* text = nullptr;
    const DWORD size =
        FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, DWORD(code), 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    const QString said = QString::fromWCharArray(text, int(size)).trimmed();
    LocalFree(text);
    return said;
}
#else
int lastFileError() {
    return errno;
}

QString fileErrorText(int code, bool langFR) {
    return errnoText(code, langFR);
}
#endif

QString streamErrorText(int errnoCode, bool langFR) {
    return errnoText(errnoCode, langFR);
}

QString errorReportText(const QString& message) {
    if (!message.isEmpty() && message.back().unicode() <= u'.')
        return message;
    return message + u'.';
}

QString outsideText(QStringView text) {
    constexpr qsizetype Longest = 300;
    if (text.size() <= Longest)
        return text.toString();
    // A surrogate pair is not cut in two.
    const qsizetype cut = text[Longest - 1].isHighSurrogate() ? Longest - 1 : Longest;
    return text.left(cut).toString() + u'…';
}
