#include "shell/TrackMenus.h"

#include "localisation/TextLookup.h"
#include "playback/MediaEngine.h"
#include "shell/MainControls.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>

namespace {
const char* const kTrackProperty = "framoraTrack";
} // namespace

TrackMenus::TrackMenus(const MainControls& ui, MediaEngine& engine, const TextLookup& lookup,
                       QObject* parent)
    : QObject(parent), ui_(ui), engine_(engine), lookup_(lookup),
      subtitleGroup_(new QActionGroup(this)), audioGroup_(new QActionGroup(this)) {
    subtitleGroup_->addAction(ui_.subtitlesOff);
    connect(ui_.subtitlesMenu, &QMenu::aboutToShow, this, &TrackMenus::fillSubtitles);
    connect(ui_.audioMenu, &QMenu::aboutToShow, this, &TrackMenus::fillAudio);
    connect(ui_.subtitlesOff, &QAction::triggered, this, [this] { engine_.setSubtitleTrack(-1); });
}

void TrackMenus::refresh() {
    fillSubtitles();
    fillAudio();
}

// Off, the tracks, then Add Subtitle File.
void TrackMenus::fillSubtitles() {
    ui_.subtitlesOff->setChecked(engine_.subtitleTrack() < 0);
    fill(*ui_.subtitlesMenu, *subtitleGroup_, engine_.subtitleTracks(), engine_.subtitleTrack(),
         ui_.subtitlesMenu->actions().value(1), QStringLiteral("subtitleTrack"),
         [this](int id) { engine_.setSubtitleTrack(id); });
}

void TrackMenus::fillAudio() {
    fill(*ui_.audioMenu, *audioGroup_, engine_.audioTracks(), engine_.audioTrack(), nullptr,
         QStringLiteral("audioTrack"), [this](int id) { engine_.setAudioTrack(id); });
}

void TrackMenus::fill(QMenu& menu, QActionGroup& group, const QList<MediaTrack>& tracks, int chosen,
                      QAction* before, const QString& namePrefix,
                      const std::function<void(int)>& choose) {
    // The items of the last filling go.
    for (QAction* action : menu.actions()) {
        if (action->property(kTrackProperty).isValid())
            delete action;
    }
    for (const MediaTrack& track : tracks) {
        auto* action = new QAction(
            track.name.isEmpty() ? lookup_.text("36", "Track %1").arg(track.id) : track.name,
            &menu);
        action->setObjectName(namePrefix + QString::number(track.id));
        action->setProperty(kTrackProperty, track.id);
        action->setCheckable(true);
        action->setChecked(track.id == chosen);
        action->setActionGroup(&group);
        menu.insertAction(before, action);
        connect(action, &QAction::triggered, this, [choose, id = track.id] { choose(id); });
    }
}
