#include "folderbrowse/FolderBrowse.h"

#include "folderbrowse/FolderBrowseError.h"
#include "folderbrowse/PropertyBag.h"
#include "folderbrowse/modBrowse.h"
#include "platform/Platform.h"
#include "platform/Twips.h"

#include <variant>

// The saved entries, in the order containers read and write them; each key is the
// property's own name.
using BoolField = bool FolderBrowseState::*;
using TextField = QString FolderBrowseState::*;
struct PersistedProperty {
    const char* key;
    std::variant<BoolField, TextField> field;
};
static const PersistedProperty persistedProperties[] = {
    {"Enabled", &FolderBrowseState::enabled},
    {"FolderName", &FolderBrowseState::folderName},
    {"FileName", &FolderBrowseState::fileName},
    {"FullName", &FolderBrowseState::fullName},
    {"DisplayName", &FolderBrowseState::displayName},
    {"FileReadOnly", &FolderBrowseState::fileReadOnly},
    {"FileHidden", &FolderBrowseState::fileHidden},
    {"FileSystem", &FolderBrowseState::fileSystem},
    {"FileCompressed", &FolderBrowseState::fileCompressed},
    {"FileArchived", &FolderBrowseState::fileArchived},
    {"StartDirectory", &FolderBrowseState::startDirectory},
    {"Caption", &FolderBrowseState::caption},
    {"OnlyFileSystemDirectories", &FolderBrowseState::onlyFileSystemDirectories},
    {"DontGoBelowDomain", &FolderBrowseState::dontGoBelowDomain},
    {"AllowEditBox", &FolderBrowseState::allowEditBox},
    {"ValidateSelection", &FolderBrowseState::validateSelection},
    {"UseNewUI", &FolderBrowseState::useNewUI},
    {"BrowseForComputer", &FolderBrowseState::browseForComputer},
    {"BrowseForPrinter", &FolderBrowseState::browseForPrinter},
    {"IncludeFiles", &FolderBrowseState::includeFiles},
};

FolderBrowse::FolderBrowse(Platform& platform, QWidget* parent)
    : QWidget(parent), platform_(platform) {
    // Nothing to see and nothing to click: the control only lends its window to the
    // dialog, so it must not cover whatever lies beneath it on the container.
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    forceSize();
    hide();
}

bool FolderBrowse::Browse() {
    FolderDialogRequest request;
    request.rootFolder = RootFolderFromPath(state_.startDirectory);
    request.title = state_.caption;
    request.options = BuildBrowseFlags(options());
    state_.fullName = BrowseFolder(platform_, this, request);
    return !state_.fullName.isEmpty();
}

BrowseOptions FolderBrowse::options() const {
    BrowseOptions o;
    o.onlyFileSystemDirectories = state_.onlyFileSystemDirectories;
    o.dontGoBelowDomain = state_.dontGoBelowDomain;
    o.allowEditBox = state_.allowEditBox;
    o.validateSelection = state_.validateSelection;
    o.useNewUI = state_.useNewUI;
    o.browseForComputer = state_.browseForComputer;
    o.browseForPrinter = state_.browseForPrinter;
    o.includeFiles = state_.includeFiles;
    return o;
}

void FolderBrowse::refuseReadOnly(const QString& name) const {
    throw FolderBrowseError(userMode_ ? FolderBrowseError::SetNotSupportedAtRunTime
                                      : FolderBrowseError::SetNotPermitted,
                            name);
}

void FolderBrowse::setBrowseEnabled(bool value) {
    state_.enabled = value;
    Q_EMIT propertyChanged(QStringLiteral("Enabled"));
}

void FolderBrowse::setFolderName(const QString&) {
    refuseReadOnly(QStringLiteral("FolderName"));
}
void FolderBrowse::setFileName(const QString&) {
    refuseReadOnly(QStringLiteral("FileName"));
}
void FolderBrowse::setFullName(const QString&) {
    refuseReadOnly(QStringLiteral("FullName"));
}
void FolderBrowse::setDisplayName(const QString&) {
    refuseReadOnly(QStringLiteral("DisplayName"));
}
void FolderBrowse::setFileReadOnly(bool) {
    refuseReadOnly(QStringLiteral("FileReadOnly"));
}
void FolderBrowse::setFileHidden(bool) {
    refuseReadOnly(QStringLiteral("FileHidden"));
}
void FolderBrowse::setFileSystem(bool) {
    refuseReadOnly(QStringLiteral("FileSystem"));
}
void FolderBrowse::setFileCompressed(bool) {
    refuseReadOnly(QStringLiteral("FileCompressed"));
}
void FolderBrowse::setFileArchived(bool) {
    refuseReadOnly(QStringLiteral("FileArchived"));
}

void FolderBrowse::setStartDirectory(const QString& value) {
    state_.startDirectory = value;
    Q_EMIT propertyChanged(QStringLiteral("StartDirectory"));
}

void FolderBrowse::setCaption(const QString& value) {
    state_.caption = value;
    Q_EMIT propertyChanged(QStringLiteral("Caption"));
}

void FolderBrowse::setOnlyFileSystemDirectories(bool value) {
    state_.onlyFileSystemDirectories = value;
    Q_EMIT propertyChanged(QStringLiteral("OnlyFileSystemDirectories"));
}

void FolderBrowse::setDontGoBelowDomain(bool value) {
    state_.dontGoBelowDomain = value;
    Q_EMIT propertyChanged(QStringLiteral("DontGoBelowDomain"));
}

void FolderBrowse::setAllowEditBox(bool value) {
    state_.allowEditBox = value;
    Q_EMIT propertyChanged(QStringLiteral("AllowEditBox"));
}

void FolderBrowse::setValidateSelection(bool value) {
    state_.validateSelection = value;
    Q_EMIT propertyChanged(QStringLiteral("ValidateSelection"));
}

void FolderBrowse::setUseNewUI(bool value) {
    state_.useNewUI = value;
    Q_EMIT propertyChanged(QStringLiteral("UseNewUI"));
}

void FolderBrowse::setBrowseForComputer(bool value) {
    state_.browseForComputer = value;
    Q_EMIT propertyChanged(QStringLiteral("BrowseForComputer"));
}

void FolderBrowse::setBrowseForPrinter(bool value) {
    state_.browseForPrinter = value;
    Q_EMIT propertyChanged(QStringLiteral("BrowseForPrinter"));
}

void FolderBrowse::setIncludeFiles(bool value) {
    state_.includeFiles = value;
    Q_EMIT propertyChanged(QStringLiteral("IncludeFiles"));
}

void FolderBrowse::InitProperties() {
    state_ = FolderBrowseState{};
}

void FolderBrowse::ReadProperties(const PropertyBag& bag) {
    const FolderBrowseState defaults;
    FolderBrowseState loaded;
    for (const auto& property : persistedProperties) {
        const QString key = QLatin1String(property.key);
        std::visit(
            [&](auto field) {
                using Value = std::remove_cvref_t<decltype(loaded.*field)>;
                loaded.*field = bag.ReadProperty(key, defaults.*field).template value<Value>();
            },
            property.field);
    }
    state_ = loaded;
}

void FolderBrowse::WriteProperties(PropertyBag& bag) const {
    const FolderBrowseState defaults;
    for (const auto& property : persistedProperties) {
        const QString key = QLatin1String(property.key);
        std::visit(
            [&](auto field) {
                bag.WriteProperty(key, QVariant::fromValue(state_.*field),
                                  QVariant::fromValue(defaults.*field));
            },
            property.field);
    }
    // Containers record a control's extent in HIMETRIC (1/100 mm).
    const int himetric = qRound(SideTwips * 2540.0 / 1440.0);
    bag.setExtent(QSize(himetric, himetric));
}

void FolderBrowse::forceSize() {
    const int pixels = qRound(SideTwips / twipsPerPixel(*this));
    const QSize side(pixels, pixels);
    if (minimumSize() != side || maximumSize() != side)
        setFixedSize(side);
    if (size() != side)
        resize(side);
}

void FolderBrowse::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    forceSize();
}

void FolderBrowse::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    forceSize();
}
