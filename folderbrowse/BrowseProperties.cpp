#include "folderbrowse/BrowseProperties.h"

#include "folderbrowse/FolderBrowse.h"
#include "platform/Twips.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <array>

// Greyed is a state the page can be put in, not one the user clicks into: a click
// toggles between unchecked and checked, and a greyed box becomes checked.
class PageCheckBox : public QCheckBox {
public:
    PageCheckBox(const QString& text, QWidget* parent) : QCheckBox(text, parent) {
        setTristate(true);
    }

protected:
    void nextCheckState() override {
        setCheckState(checkState() == Qt::Checked ? Qt::Unchecked : Qt::Checked);
    }
};

// A property is true exactly when its box is checked; greyed reads as false.
static bool isChecked(const QCheckBox& box) {
    return box.checkState() == Qt::Checked;
}
static Qt::CheckState checkStateOf(bool value) {
    return value ? Qt::Checked : Qt::Unchecked;
}

struct BrowseProperties::OptionBinding {
    QCheckBox* box;
    bool (FolderBrowse::*get)() const;
    void (FolderBrowse::*set)(bool);
};

BrowseProperties::BrowseProperties(QWidget* parent) : QWidget(parent) {
    setWindowTitle(QStringLiteral("BrowseProperties"));
    buildElements();
}

void BrowseProperties::buildElements() {
    const auto place = [this](QWidget* element, const char* name, QRectF twips) {
        element->setObjectName(QLatin1String(name));
        element->setGeometry(twipsToPixels(twips, twipsPerPixel(*this)));
    };
    const auto check = [&](const char* name, const char* text, QRectF twips) {
        auto* box = new PageCheckBox(QLatin1String(text), this);
        place(box, name, twips);
        connect(box, &QCheckBox::stateChanged, this, &BrowseProperties::markChanged);
        return box;
    };
    const auto edit = [&](const char* name, QRectF twips) {
        auto* box = new QLineEdit(this);
        place(box, name, twips);
        connect(box, &QLineEdit::textChanged, this, &BrowseProperties::markChanged);
        return box;
    };
    const auto label = [&](const char* name, const char* text, QRectF twips) {
        auto* caption = new QLabel(QLatin1String(text), this);
        place(caption, name, twips);
        return caption;
    };

    // Created in tab order, left, top, width and height in twips.
    chkEnabled_ = check("chkEnabled", "Enabled", {120, 840, 2700, 285});
    lblStartDirectory_ = label("lblStartDirectory", "StartDirectory:", {2970, 165, 2700, 240});
    txtStartDirectory_ = edit("txtStartDirectory", {2970, 420, 2700, 330});
    lblCaption_ = label("lblCaption", "Caption:", {90, 225, 2700, 240});
    txtCaption_ = edit("txtCaption", {90, 465, 2700, 330});
    chkOnlyFileSystemDirectories_ = check("chkOnlyFileSystemDirectories",
                                          "Only File System Directories", {90, 1440, 2700, 285});
    chkDontGoBelowDomain_ =
        check("chkDontGoBelowDomain", "Dont Go Below Domain", {90, 1800, 2700, 285});
    chkAllowEditBox_ = check("chkAllowEditBox", "Allow Edit Box", {120, 2160, 2700, 285});
    chkValidateSelection_ =
        check("chkValidateSelection", "Validate Selection", {120, 2520, 2700, 285});
    chkUseNewUI_ = check("chkUseNewUI", "Use New UI", {120, 2880, 2700, 285});
    chkBrowseForComputer_ =
        check("chkBrowseForComputer", "Browse For Computer", {3000, 1440, 2700, 285});
    chkBrowseForPrinter_ =
        check("chkBrowseForPrinter", "Browse For Printer", {3000, 1800, 2700, 285});
    chkIncludeFiles_ = check("chkIncludeFiles", "Include All Files", {3000, 2160, 2700, 285});

    lblStartDirectory_->setBuddy(txtStartDirectory_);
    lblCaption_->setBuddy(txtCaption_);

    QWidget* const tabOrder[] = {
        chkEnabled_,           txtStartDirectory_,
        txtCaption_,           chkOnlyFileSystemDirectories_,
        chkDontGoBelowDomain_, chkAllowEditBox_,
        chkValidateSelection_, chkUseNewUI_,
        chkBrowseForComputer_, chkBrowseForPrinter_,
        chkIncludeFiles_,
    };
    for (std::size_t i = 1; i < std::size(tabOrder); ++i)
        setTabOrder(tabOrder[i - 1], tabOrder[i]);

    const QRect client = twipsToPixels(QRectF(0, 0, 6105, 3345), twipsPerPixel(*this));
    setMinimumSize(client.size());
    resize(client.size());
}

QList<FolderBrowse*> BrowseProperties::SelectedControls() const {
    QList<FolderBrowse*> controls;
    for (const auto& control : selected_)
        controls.append(control.data());
    return controls;
}

void BrowseProperties::setSelectedControls(const QList<FolderBrowse*>& controls) {
    selected_.clear();
    for (FolderBrowse* control : controls)
        selected_.append(control);
}

FolderBrowse* BrowseProperties::firstSelected() const {
    // An empty selection, or a first control destroyed since it was chosen, leaves
    // nothing to load or write.
    return selected_.isEmpty() ? nullptr : selected_.first().data();
}

std::array<BrowseProperties::OptionBinding, 8> BrowseProperties::optionBindings() const {
    // The order in which the page loads and applies the options.
    return {{
        {chkIncludeFiles_, &FolderBrowse::IncludeFiles, &FolderBrowse::setIncludeFiles},
        {chkBrowseForPrinter_, &FolderBrowse::BrowseForPrinter, &FolderBrowse::setBrowseForPrinter},
        {chkBrowseForComputer_, &FolderBrowse::BrowseForComputer,
         &FolderBrowse::setBrowseForComputer},
        {chkUseNewUI_, &FolderBrowse::UseNewUI, &FolderBrowse::setUseNewUI},
        {chkValidateSelection_, &FolderBrowse::ValidateSelection,
         &FolderBrowse::setValidateSelection},
        {chkAllowEditBox_, &FolderBrowse::AllowEditBox, &FolderBrowse::setAllowEditBox},
        {chkDontGoBelowDomain_, &FolderBrowse::DontGoBelowDomain,
         &FolderBrowse::setDontGoBelowDomain},
        {chkOnlyFileSystemDirectories_, &FolderBrowse::OnlyFileSystemDirectories,
         &FolderBrowse::setOnlyFileSystemDirectories},
    }};
}

void BrowseProperties::SelectionChanged() {
    FolderBrowse* control = firstSelected();
    if (control == nullptr)
        return;
    for (const auto& option : optionBindings())
        option.box->setCheckState(checkStateOf((control->*option.get)()));
    txtCaption_->setText(control->Caption());
    txtStartDirectory_->setText(control->StartDirectory());
    chkEnabled_->setCheckState(checkStateOf(control->BrowseEnabled()));
}

void BrowseProperties::ApplyChanges() {
    FolderBrowse* control = firstSelected();
    if (control == nullptr)
        return;
    for (const auto& option : optionBindings())
        (control->*option.set)(isChecked(*option.box));
    control->setCaption(txtCaption_->text());
    control->setStartDirectory(txtStartDirectory_->text());
    control->setBrowseEnabled(isChecked(*chkEnabled_));
}
