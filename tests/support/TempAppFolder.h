#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <QTest>

// A throw-away application folder; packs go to its Lang folder.
class TempAppFolder {
public:
    [[nodiscard]] QString path() const { return dir_.path(); }

    void writePack(const QString& fileName, const QByteArray& bytes) const {
        QVERIFY(QDir(dir_.path()).mkpath(QStringLiteral("Lang")));
        QFile file(dir_.path() + QStringLiteral("/Lang/") + fileName);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(bytes), bytes.size());
    }

    [[nodiscard]] bool writeFile(const QString& fileName, const QByteArray& bytes) const {
        QFile file(dir_.path() + QLatin1Char('/') + fileName);
        return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
    }

    [[nodiscard]] QByteArray readFile(const QString& fileName) const {
        QFile file(dir_.path() + QLatin1Char('/') + fileName);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

private:
    QTemporaryDir dir_;
};
