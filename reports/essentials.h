#pragma once

#include <QStringView>

namespace reports {

// Whether the Essentials filter keeps one line of device output: false for empty lines and for the
// bookkeeping the services print around their readings (listeners, broadcasts, ids, wake locks, parcels,
// binder statistics, ANR traces). Letter case is ignored the way the user's locale folds it.
bool IsEssential(QStringView S);

} // namespace reports
