// The sRGB ICC profile embedded in JPEG snapshots, built here rather than shipped: a
// version 2 display profile with IEC 61966-2.1's colorants (adapted to the profile
// connection space's D50) and its tone curve as a table.
#include "capture/SrgbProfile.h"

#include <QtEndian>
#include <cmath>
#include <cstring>

namespace {

void put32(QByteArray& out, quint32 value) {
    char b[4];
    qToBigEndian(value, b);
    out.append(b, 4);
}

void put16(QByteArray& out, quint16 value) {
    char b[2];
    qToBigEndian(value, b);
    out.append(b, 2);
}

// ICC's s15Fixed16Number.
void putFixed(QByteArray& out, double value) {
    put32(out, quint32(qint32(std::lround(value * 65536.0))));
}

void align4(QByteArray& out) {
    while (out.size() % 4 != 0)
        out.append('\0');
}

QByteArray xyzTag(double x, double y, double z) {
    QByteArray tag("XYZ \0\0\0\0", 8);
    putFixed(tag, x);
    putFixed(tag, y);
    putFixed(tag, z);
    return tag;
}

QByteArray descriptionTag(const char* text) {
    const auto length = quint32(std::strlen(text) + 1);
    QByteArray tag("desc\0\0\0\0", 8);
    put32(tag, length);
    tag.append(text, qsizetype(length)); // with its terminating zero
    put32(tag, 0);                       // no Unicode description
    put32(tag, 0);
    put16(tag, 0); // no ScriptCode description
    tag.append('\0');
    tag.append(67, '\0');
    return tag;
}

QByteArray textTag(const char* text) {
    QByteArray tag("text\0\0\0\0", 8);
    tag.append(text, qsizetype(std::strlen(text) + 1));
    return tag;
}

QByteArray curveTag() {
    constexpr int kEntries = 1024;
    QByteArray tag("curv\0\0\0\0", 8);
    put32(tag, kEntries);
    for (int i = 0; i < kEntries; ++i) {
        const double v = double(i) / (kEntries - 1);
        const double linear = v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
        put16(tag, quint16(std::lround(linear * 65535.0)));
    }
    return tag;
}

QByteArray buildProfile() {
    struct Tag {
        const char* signature;
        QByteArray data;
    };
    const QByteArray curve = curveTag();
    const Tag tags[] = {
        {"desc", descriptionTag("sRGB IEC61966-2.1")},
        {"cprt", textTag("No copyright, use freely")},
        {"wtpt", xyzTag(0.9505, 1.0, 1.0891)},
        {"rXYZ", xyzTag(0.4361, 0.2225, 0.0139)},
        {"gXYZ", xyzTag(0.3851, 0.7169, 0.0971)},
        {"bXYZ", xyzTag(0.1431, 0.0606, 0.7141)},
        {"rTRC", curve},
        {"gTRC", curve},
        {"bTRC", curve},
    };
    constexpr int kTagCount = int(std::size(tags));
    const qsizetype tableEnd = 128 + 4 + 12 * kTagCount;

    // Tag data after the table; the three tone curves share one copy.
    QByteArray data;
    QByteArray table;
    put32(table, kTagCount);
    qsizetype curveAt = -1;
    for (const Tag& tag : tags) {
        const bool isCurve = tag.data == curve;
        qsizetype at = tableEnd + data.size();
        if (isCurve && curveAt >= 0) {
            at = curveAt;
        } else {
            data += tag.data;
            align4(data);
            if (isCurve)
                curveAt = at;
        }
        table.append(tag.signature, 4);
        put32(table, quint32(at));
        put32(table, quint32(tag.data.size()));
    }

    QByteArray header;
    put32(header, quint32(tableEnd + data.size()));
    header.append("\0\0\0\0", 4); // no preferred colour management module
    put32(header, 0x02100000);    // version 2.1
    header.append("mntrRGB XYZ ", 12);
    for (const quint16 part : {2026, 1, 1, 0, 0, 0})
        put16(header, part);
    header.append("acsp", 4);
    header.append(68 - header.size(), '\0'); // platform, flags, maker, model, attributes, intent
    putFixed(header, 0.9642);                // the profile connection space's illuminant, D50
    putFixed(header, 1.0);
    putFixed(header, 0.8249);
    header.append(128 - header.size(), '\0'); // creator, identifier and reserved
    return header + table + data;
}

} // namespace

const QByteArray& srgbIccProfile() {
    static const QByteArray profile = buildProfile();
    return profile;
}
