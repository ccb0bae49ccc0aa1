#include "playback/vlc/VlcTracks.h"

#include <QUrl>

namespace {
QList<MediaTrack> tracksOf(libvlc_track_description_t* list) {
    QList<MediaTrack> tracks;
    for (const libvlc_track_description_t* t = list; t; t = t->p_next) {
        if (t->i_id < 0) // libVLC's own "Disable"; the menu has its own Off
            continue;
        tracks << MediaTrack{t->i_id, t->psz_name ? QString::fromUtf8(t->psz_name) : QString()};
    }
    libvlc_track_description_list_release(list);
    return tracks;
}
} // namespace

QList<MediaTrack> subtitleTracksOf(libvlc_media_player_t* player) {
    return player ? tracksOf(libvlc_video_get_spu_description(player)) : QList<MediaTrack>();
}

QList<MediaTrack> audioTracksOf(libvlc_media_player_t* player) {
    return player ? tracksOf(libvlc_audio_get_track_description(player)) : QList<MediaTrack>();
}

QByteArray subtitleUri(const QString& path) {
    return QUrl::fromLocalFile(path).toEncoded();
}
