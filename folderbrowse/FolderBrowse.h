#pragma once

#include <QString>
#include <QWidget>

class Platform;

// A folder-selection control around the platform's folder dialog. A window places one,
// calls Browse(), and reads FullName() when it returned true.
class FolderBrowse : public QWidget {
    Q_OBJECT
public:
    explicit FolderBrowse(Platform& platform, QWidget* parent = nullptr);

    // Shows the folder dialog modally; true when a folder was chosen (now in FullName).
    bool Browse();
    [[nodiscard]] QString FullName() const;

private:
    Platform& platform_;
    QString fullName_;
};
