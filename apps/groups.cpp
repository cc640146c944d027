#include "apps/groups.h"

#include "base/strlist.h"

namespace apps {

bool isGroupHeader(QStringView line) {
    return strlist::trim(line).startsWith(u"--- ");
}

QString groupHeader(QStringView name) {
    QString upper = name.toString();
    for (QChar& c : upper)
        if (c >= u'a' && c <= u'z')
            c = QChar(c.unicode() - (u'a' - u'A'));
    return u"--- "_qs + upper + u" ---"_qs;
}

} // namespace apps
