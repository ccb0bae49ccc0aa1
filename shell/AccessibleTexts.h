#pragma once

class TextLookup;
struct MainControls;

// What a screen reader says of each control of the main window: the pack's hover texts as
// names, the keys as descriptions. The mute button is named for what it does next, as its
// hover text is. The progress bar's description is the time shown (set with it).
void applyAccessibleTexts(const MainControls& ui, const TextLookup& lookup, bool muted);
void applyMuteAccessibleName(const MainControls& ui, const TextLookup& lookup, bool muted);
