#include "localisation/UiTranslation.h"

#include "localisation/PackLanguage.h"
#include "localisation/TextLookup.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include <cstring>

namespace {
// The program's own texts written with tr(), and the pack key that holds each.
struct OwnText {
    const char* context;
    const char* source;
    const char* key;
};
constexpr OwnText kOwnTexts[] = {
    {"FolderDialog", "Browse For Folder", "44"},
    {"FolderDialog", "Folder:", "45"},
    {"FolderDialog", "Make New Folder", "46"},
    {"FolderDialog", "New Folder", "47"},
};

// Answers the program's tr() texts from the current pack.
class PackTranslator : public QTranslator {
public:
    explicit PackTranslator(const TextLookup& lookup) : lookup_(lookup) {}

    bool isEmpty() const override { return false; }

    QString translate(const char* context, const char* sourceText, const char* /*disambiguation*/,
                      int /*n*/) const override {
        if (!context || !sourceText)
            return {};
        for (const OwnText& own : kOwnTexts) {
            if (std::strcmp(own.context, context) == 0 && std::strcmp(own.source, sourceText) == 0)
                return lookup_.text(own.key, own.source);
        }
        return {};
    }

private:
    const TextLookup& lookup_;
};
} // namespace

UiTranslation::UiTranslation(const TextLookup& lookup)
    : qt_(std::make_unique<QTranslator>()), program_(std::make_unique<PackTranslator>(lookup)) {
    QCoreApplication::installTranslator(program_.get());
}

UiTranslation::~UiTranslation() {
    QCoreApplication::removeTranslator(program_.get());
    QCoreApplication::removeTranslator(qt_.get());
}

void UiTranslation::follow(const QString& packFile) {
    if (packFile == followed_)
        return;
    followed_ = packFile;
    QCoreApplication::removeTranslator(qt_.get());
    const QLocale::Language language = languageOfPack(packFile);
    qtTranslated_ = language != QLocale::AnyLanguage && language != QLocale::English &&
                    qt_->load(QLocale(language), QStringLiteral("qtbase"), QStringLiteral("_"),
                              QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    if (qtTranslated_)
        QCoreApplication::installTranslator(qt_.get());
}
