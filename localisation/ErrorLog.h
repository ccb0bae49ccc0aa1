#pragma once

#include <QString>

// Appends one entry to the log file at path (errorlog.txt), in the quoted-record form
//   "<CR LF>Date: <short date>","Time: <short time>","<message>"<CR LF>
// so each entry spans two lines, the first a lone double quote. Quotes inside the message
// are written as they are. Never truncates; a failure to write is swallowed.
void WriteErrorLog(const QString& path, const QString& message) noexcept;
