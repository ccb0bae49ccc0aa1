#pragma once

#include "platform/Platform.h"

#include <QString>

class QWidget;

// The platform side of the folder browse control: turning the start directory into the
// dialog's root and showing the dialog.

// The root the dialog should be held in: the start directory when it names an existing
// folder, otherwise "" (no root, the platform's default place). A missing folder must
// not leave the user in an empty tree they cannot climb out of.
[[nodiscard]] QString RootFolderFromPath(const QString& startDirectory);

// Shows the folder dialog modally for owner; the chosen file-system path, or "" when
// the user cancelled.
[[nodiscard]] QString BrowseFolder(Platform& platform, QWidget* owner,
                                   const FolderDialogRequest& request);
