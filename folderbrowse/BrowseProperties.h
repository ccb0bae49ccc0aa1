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

    QCheckBox* chkEnabled = nullptr;
    QLabel* lblStartDirectory = nullptr;
    QLineEdit* txtStartDirectory = nullptr;
    QLabel* lblCaption = nullptr;
    QLineEdit* txtCaption = nullptr;
    QCheckBox* chkOnlyFileSystemDirectories = nullptr;
    QCheckBox* chkDontGoBelowDomain = nullptr;
    QCheckBox* chkAllowEditBox = nullptr;
    QCheckBox* chkValidateSelection = nullptr;
    QCheckBox* chkUseNewUI = nullptr;
    QCheckBox* chkBrowseForComputer = nullptr;
    QCheckBox* chkBrowseForPrinter = nullptr;
    QCheckBox* chkIncludeFiles = nullptr;
};
