#pragma once

// Bits of the folder dialog's option word. The values are the shell's published
// BIF_* constants, so a saved options word means the same everywhere.
enum class BrowseFlag : unsigned {
    ReturnOnlyFsDirs = 0x0001,   // BIF_RETURNONLYFSDIRS
    DontGoBelowDomain = 0x0002,  // BIF_DONTGOBELOWDOMAIN
    EditBox = 0x0010,            // BIF_EDITBOX
    Validate = 0x0020,           // BIF_VALIDATE
    NewDialogStyle = 0x0040,     // BIF_NEWDIALOGSTYLE (not the combined 0x0050)
    BrowseForComputer = 0x1000,  // BIF_BROWSEFORCOMPUTER
    BrowseForPrinter = 0x2000,   // BIF_BROWSEFORPRINTER
    BrowseIncludeFiles = 0x4000, // BIF_BROWSEINCLUDEFILES
};

[[nodiscard]] constexpr unsigned BrowseFlagValue(BrowseFlag flag) {
    return static_cast<unsigned>(flag);
}

// The eight option properties of the folder browse control, with its defaults.
struct BrowseOptions {
    bool onlyFileSystemDirectories = false;
    bool dontGoBelowDomain = true;
    bool allowEditBox = false;
    bool validateSelection = true;
    bool useNewUI = false;
    bool browseForComputer = false;
    bool browseForPrinter = false;
    bool includeFiles = false;

    friend bool operator==(const BrowseOptions&, const BrowseOptions&) = default;
};

// The option word: one bit per true option, no other bit ever set.
[[nodiscard]] unsigned BuildBrowseFlags(const BrowseOptions& options);
