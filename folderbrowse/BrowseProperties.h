#pragma once

#include <QList>
#include <QPointer>
#include <QWidget>
#include <array>

class FolderBrowse;
class QCheckBox;
class QLabel;
class QLineEdit;

// The design-time property page of FolderBrowse: the eight dialog options, Caption,
// StartDirectory and Enabled. The host picks the controls (SelectedControls), calls
// SelectionChanged to load the page, ApplyChanges when the user applies, and clears
// Changed afterwards. Only the first selected control is shown and written.
class BrowseProperties : public QWidget {
    Q_OBJECT
public:
    explicit BrowseProperties(QWidget* parent = nullptr);

    // True once the page holds edits not yet applied; set by every edit, including the
    // edits made by loading a selection. Only the host clears it.
    [[nodiscard]] bool Changed() const { return changed_; }
    void setChanged(bool changed) { changed_ = changed; }

    [[nodiscard]] QList<FolderBrowse*> SelectedControls() const;
    void setSelectedControls(const QList<FolderBrowse*>& controls);

    void SelectionChanged();
    void ApplyChanges();

private:
    struct OptionBinding;
    [[nodiscard]] std::array<OptionBinding, 8> optionBindings() const;
    void buildElements();
    void markChanged() { changed_ = true; }
    [[nodiscard]] FolderBrowse* firstSelected() const;

    bool changed_ = false;
    QList<QPointer<FolderBrowse>> selected_;

    QCheckBox* chkEnabled_ = nullptr;
    QLabel* lblStartDirectory_ = nullptr;
    QLineEdit* txtStartDirectory_ = nullptr;
    QLabel* lblCaption_ = nullptr;
    QLineEdit* txtCaption_ = nullptr;
    QCheckBox* chkOnlyFileSystemDirectories_ = nullptr;
    QCheckBox* chkDontGoBelowDomain_ = nullptr;
    QCheckBox* chkAllowEditBox_ = nullptr;
    QCheckBox* chkValidateSelection_ = nullptr;
    QCheckBox* chkUseNewUI_ = nullptr;
    QCheckBox* chkBrowseForComputer_ = nullptr;
    QCheckBox* chkBrowseForPrinter_ = nullptr;
    QCheckBox* chkIncludeFiles_ = nullptr;
};
