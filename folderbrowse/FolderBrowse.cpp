#include "folderbrowse/FolderBrowse.h"

#include "platform/Platform.h"

FolderBrowse::FolderBrowse(Platform& platform, QWidget* parent)
    : QWidget(parent), platform_(platform)
{
}

bool FolderBrowse::Browse()
{
    FolderDialogRequest request;
    request.title = QStringLiteral("Folder Browser");
    request.options = 0x0022;
    fullName_ = platform_.browseForFolder(this, request);
    return !fullName_.isEmpty();
}

QString FolderBrowse::FullName() const { return fullName_; }
