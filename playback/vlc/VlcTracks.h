#pragma once

#include "playback/MediaEngine.h"

#include <vlc/vlc.h>

// The subtitle and sound tracks of a libVLC player, without libVLC's "Disable" entry.
[[nodiscard]] QList<MediaTrack> subtitleTracksOf(libvlc_media_player_t* player);
[[nodiscard]] QList<MediaTrack> audioTracksOf(libvlc_media_player_t* player);
// A subtitle file as a file URL, for libVLC's slaves.
[[nodiscard]] QByteArray subtitleUri(const QString& path);
