#include "shell/Skin.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <QtDebug>

namespace {
// A real skin is a few kilobytes; a stray huge file must not hold up the start.
constexpr qint64 kMostBytes = 1024 * 1024;

// The style sheet in the file at path; empty, with why in problem, when there is none.
QString styleSheetAt(const QString& path, QString& problem) {
    if (!QFileInfo(path).isFile()) {
        problem = path + QStringLiteral(" does not exist.");
        return {};
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        problem = path + QStringLiteral(" cannot be read: ") + file.errorString();
        return {};
    }
    const QByteArray bytes = file.read(kMostBytes);
    if (file.error() != QFileDevice::NoError) {
        problem = path + QStringLiteral(" cannot be read: ") + file.errorString();
        return {};
    }
    QStringDecoder decoder(QStringDecoder::Utf8);
    const QString text = decoder(bytes);
    if (decoder.hasError() || !text.contains(QLatin1Char('{'))) {
        problem = path + QStringLiteral(" is not a style sheet.");
        return {};
    }
    return text;
}
} // namespace

bool loadSkin(const QString& path) {
    auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
    if (!app) {
        qWarning().noquote() << "Skin not applied: there is no widget application.";
        return false;
    }
    QString problem;
    const QString styleSheet = styleSheetAt(path, problem);
    if (!styleSheet.isEmpty()) {
        app->setStyleSheet(styleSheet);
        return true;
    }
    QString builtInProblem;
    const QString builtIn = styleSheetAt(QStringLiteral(":/skin/Skin.skf"), builtInProblem);
    qWarning().noquote() << "Skin not applied:" << problem
                         << (builtIn.isEmpty() ? QString()
                                               : QStringLiteral("The built-in skin is used."));
    if (!builtIn.isEmpty())
        app->setStyleSheet(builtIn);
    return false;
}
