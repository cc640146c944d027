#include "reports/essentials.h"

#include "base/strlist.h"
#include "reports/keywords.h"

namespace reports {

bool IsEssential(QStringView S) {
    static const LocaleKeywords beginsWith{u"callbacks:", u"callback", u"killed"};
    static const LocaleKeywords contains{u"ThermalEventListeners",
                                         u"StatusListeners",
                                         u"broadcasts",
                                         u"mLast",
                                         u"mWake",
                                         u"mUser",
                                         u"uid=",
                                         u"pid=",
                                         u"flags=",
                                         u"wake_lock",
                                         u"Parcel",
                                         u"parcel",
                                         u"Binder",
                                         u"ANR in",
                                         u"traces:",
                                         u"heap:"};
    const QString line = strlist::trim(S);
    if (line.isEmpty())
        return false;
    const QString folded = foldForSearch(line);
    return !beginsWith.beginOf(folded) && !contains.containedIn(folded);
}

} // namespace reports
