#include "folderbrowse/BrowseFlags.h"

unsigned BuildBrowseFlags(const BrowseOptions& options) {
    const struct {
        bool on;
        BrowseFlag flag;
    } bits[] = {
        {options.onlyFileSystemDirectories, BrowseFlag::ReturnOnlyFsDirs},
        {options.dontGoBelowDomain, BrowseFlag::DontGoBelowDomain},
        {options.allowEditBox, BrowseFlag::EditBox},
        {options.validateSelection, BrowseFlag::Validate},
        {options.useNewUI, BrowseFlag::NewDialogStyle},
        {options.browseForComputer, BrowseFlag::BrowseForComputer},
        {options.browseForPrinter, BrowseFlag::BrowseForPrinter},
        {options.includeFiles, BrowseFlag::BrowseIncludeFiles},
    };
    unsigned word = 0;
    for (const auto& bit : bits) {
        if (bit.on)
            word |= BrowseFlagValue(bit.flag);
    }
    return word;
}
