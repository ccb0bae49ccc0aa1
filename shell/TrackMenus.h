#pragma once

#include "playback/MediaEngine.h"

#include <QObject>

#include <functional>

class QAction;
class QActionGroup;
class QMenu;
class TextLookup;
struct MainControls;

// The Subtitles and Audio Track menus: each time one opens, an item per track of the
// video (the chosen one checked), taken from the engine; a choice goes to the engine.
class TrackMenus : public QObject {
    Q_OBJECT
public:
    TrackMenus(const MainControls& ui, MediaEngine& engine, const TextLookup& lookup,
               QObject* parent = nullptr);

    // Both menus as they are now (they are also filled as they open).
    void refresh();

private:
    void fillSubtitles();
    void fillAudio();
    // The menu's track items, before the given item (at the end when null).
    void fill(QMenu& menu, QActionGroup& group, const QList<MediaTrack>& tracks, int chosen,
              QAction* before, const QString& namePrefix, const std::function<void(int)>& choose);

    const MainControls& ui_;
    MediaEngine& engine_;
    const TextLookup& lookup_;
    QActionGroup* subtitleGroup_;
    QActionGroup* audioGroup_;
};
