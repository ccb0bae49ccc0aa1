#include "localisation/CaptionApplication.h"

#include "localisation/TextLookup.h"

void ApplyLanguageCaptions(const TextLookup& text, CaptionTargets& targets,
                           SharedCaptions& shared) {
    const auto set = [&](CaptionWindow window, const char* objectName, const char* key,
                         const char* defaultText) {
        targets.setCaption(window, QString::fromLatin1(objectName), text.text(key, defaultText));
    };
    using enum CaptionWindow;

    set(Options, "Command1", "87", "Defaults");
    shared.okCaption = text.SetCaptionfromINI(QStringLiteral("03"), QStringLiteral("&OK"));
    shared.cancelCaption = text.SetCaptionfromINI(QStringLiteral("04"), QStringLiteral("&Cancel"));

    set(Main, "fileMenu", "10", "&File");
    set(Main, "openMenu", "11", "&Open");
    set(Main, "openSnapshotFolderMenu", "13", "Open Snapshot &Folder");
    set(Main, "exportFramesMenu", "14", "&Export Frames...");
    set(Main, "exitCommand", "12", "E&xit");
    set(Main, "editMenu", "20", "&Edit");
    set(Main, "snapshotCommand", "21", "&Snapshot");
    set(Main, "continuousSnapshots", "22", "&Continuous Snapshots");
    set(Main, "timedSnapshots", "23", "&Timed Snapshots");
    set(Main, "fullScreenMenu", "24", "&Full Screen");
    set(Main, "nextFrameMenu", "25", "&Next Frame");
    set(Main, "previousFrameMenu", "26", "&Previous Frame");
    set(Main, "copyFrameMenu", "27", "Cop&y Frame");
    set(Main, "markInMenu", "28", "Mark &In");
    set(Main, "markOutMenu", "29", "Mark &Out");
    set(Main, "subtitlesMenu", "32", "S&ubtitles");
    set(Main, "subtitlesOff", "33", "&Off");
    set(Main, "addSubtitleFileMenu", "34", "&Add Subtitle File...");
    set(Main, "audioMenu", "35", "&Audio Track");
    set(Main, "toolsMenu", "30", "&Tools");
    set(Main, "optionsMenuCommand", "31", "&Options");
    set(Main, "helpMenu", "40", "&Help");
    set(Main, "howToUseMenu", "41", "&How To Use");
    set(Main, "checkUpdates", "42", "&Check For Updates");
    set(Main, "aboutMenu", "43", "&About");

    targets.setCaption(About, QStringLiteral("cmdOK"), shared.okCaption);
    targets.setCaption(Options, QStringLiteral("OKButton"), shared.okCaption);
    targets.setCaption(Options, QStringLiteral("CancelButton"), shared.cancelCaption);

    set(Options, "", "70", "Options");
    set(Options, "languageFrame", "71", "Language");
    set(Options, "languageLabel", "72", "Select Language:");
    set(Options, "snapshotsFrame", "73", "Snapshots");
    set(Options, "imageFormatLabel", "74", "Image Format:");
    set(Options, "snapshotsPathLabel", "75", "Snapshots Path:");
    set(Options, "snapshotsBrowse", "76", "&Browse...");

    // The frame shows the label's text without its closing colon.
    QString frame = text.SetCaptionfromINI(QStringLiteral("75"), QStringLiteral("Snapshots Path:"));
    const bool endsInPair = frame.size() >= 2 && frame.back().isLowSurrogate() &&
                            frame.at(frame.size() - 2).isHighSurrogate();
    frame.chop(endsInPair ? 2 : 1);
    targets.setCaption(Main, QStringLiteral("quickPath"), frame);

    set(Main, "browseCommand", "76", "&Browse...");
    set(Options, "prefixLabel", "77", "Snapshot Prefix:");
    set(Options, "inputBoxCheck", "78", "Do not show \"Timed Snapshot\" input box again");
    set(Options, "valueTitle", "79", "Use this value instead:");
    set(Options, "millisecondsLabel", "80", "milliseconds.");
    set(Options, "previewSnapshot", "81", "Preview snapshot");
    set(Options, "miscellaneousFrame", "85", "Miscellaneous");
    set(Options, "screenSaver", "86", "Disable screen saver");
}
