#pragma once

#include <QStringList>

namespace cli {

// The exit statuses scripts can branch on.
enum Status { Succeeded = 0, Failed = 1, Usage = 2, NoPhone = 3, Interrupted = 130 };

// Reads the phones as the arguments say (the program's name first) and returns the exit status.
int run(const QStringList& arguments);

} // namespace cli
