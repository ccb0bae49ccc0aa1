#pragma once

#include <QString>

#include <climits>
#include <map>
#include <set>
#include <tuple>

// Hands out snapshot file numbers per folder, prefix and format. A number is free when no
// file (nor anything else) of its name exists and it is not reserved by a snapshot still
// being written. Each key keeps a cursor, so a long capture does not look at every earlier
// file again; numbers reserved one after another therefore always increase, and a failed
// snapshot's number is only handed out again when that cannot put a later file before an
// earlier one. Not thread-safe: the owner serialises calls.
class SnapshotNumbering {
public:
    // The next free number, now reserved; 0 when the numbers are used up.
    [[nodiscard]] int reserve(const QString& folder, const QString& prefix, bool jpeg);
    // The number's file exists now (written by us, or taken by another program meanwhile).
    void settle(const QString& folder, const QString& prefix, bool jpeg, int number);
    // The number's snapshot failed: no file of that name was made.
    void release(const QString& folder, const QString& prefix, bool jpeg, int number);

private:
    struct Key {
        QString folder;
        QString prefix;
        bool jpeg = false;
        friend bool operator<(const Key& a, const Key& b) {
            return std::tie(a.folder, a.prefix, a.jpeg) < std::tie(b.folder, b.prefix, b.jpeg);
        }
    };
    struct Cursor {
        int next = 1;
        int highestWritten = 0;
        int lowestReleased = INT_MAX;
        std::set<int> reserved;
    };

    Cursor& cursor(const QString& folder, const QString& prefix, bool jpeg);
    static void lowerAfterRelease(Cursor& cursor);

    std::map<Key, Cursor> cursors_;
};
