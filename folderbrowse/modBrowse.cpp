#include "folderbrowse/modBrowse.h"

#include <QFileInfo>

QString RootFolderFromPath(const QString& startDirectory) {
    if (startDirectory.isEmpty() || !QFileInfo(startDirectory).isDir())
        return {};
    return startDirectory;
}

QString BrowseFolder(Platform& platform, QWidget* owner, const FolderDialogRequest& request) {
    return platform.browseForFolder(owner, request);
}
