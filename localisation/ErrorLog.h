#pragma once

#include <QString>

// Appends one entry (a quoted date, time and message record, CR LF) to errorlog.txt in
// the application folder. Never truncates; a failure to write is swallowed.
void WriteErrorLog(const QString& applicationFolder, const QString& message);
