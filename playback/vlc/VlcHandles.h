#pragma once

#include <vlc/vlc.h>

#include <memory>

// Owning handles for libVLC objects: each releases with its own libVLC function.
struct VlcInstanceRelease {
    void operator()(libvlc_instance_t* instance) const { libvlc_release(instance); }
};
struct VlcPlayerRelease {
    void operator()(libvlc_media_player_t* player) const { libvlc_media_player_release(player); }
};
struct VlcMediaRelease {
    void operator()(libvlc_media_t* media) const { libvlc_media_release(media); }
};

using VlcInstance = std::unique_ptr<libvlc_instance_t, VlcInstanceRelease>;
using VlcPlayer = std::unique_ptr<libvlc_media_player_t, VlcPlayerRelease>;
using VlcMedia = std::unique_ptr<libvlc_media_t, VlcMediaRelease>;
