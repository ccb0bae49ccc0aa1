#pragma once

#include <QDateTime>
#include <QList>
#include <QPair>
#include <QString>

// Where a snapshot came from, kept inside the image file so that renaming or moving it
// loses nothing.
struct SnapshotOrigin {
    QString video;           // the video's file name
    qint64 timeMs = -1;      // where in the video; -1 unknown
    qint64 frameNumber = -1; // counted from 0; -1 when the frame is not known exactly
    QDateTime created = {};  // when it was captured
    // More fields after the usual ones (a contact sheet's, one set per thumbnail).
    QList<QPair<QString, QString>> more = {};
};

// "00:01:02.345": hours, minutes, seconds and milliseconds.
[[nodiscard]] QString formatMediaTime(qint64 ms);

// Keyword and text pairs for the image's text fields: the standard Software, Creation Time
// and Description first, then Video, Media Time, Media Time ms and Frame Number where known.
[[nodiscard]] QList<QPair<QString, QString>> originFields(const SnapshotOrigin& origin);

// A control character would make a PNG text chunk invalid and the JPEG comment's lines
// ambiguous (a video name with a line break could forge a field of its own): each is
// written as \xNN, and a backslash as \\, so that the text can still be read back exactly.
[[nodiscard]] QString escapedFieldText(const QString& text);
