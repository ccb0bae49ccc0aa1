#pragma once

#include <QSize>

#include <optional>

// The size at which decoded frames are asked for. libVLC 3 offers the decoder's padded
// buffer size (240 lines come as 258) and scales the visible picture into whatever size
// is accepted, so the visible size from the track must be asked for instead, widened
// or heightened by a non-square sample aspect ratio so that pixels come out square.
// Empty while the track's size is not known yet. A track size that cannot be this
// picture's (larger, or smaller by more than padding) gives way to the decoder's size.
[[nodiscard]] std::optional<QSize> frameOutputSize(QSize decoderBuffer, QSize trackSize,
                                                   unsigned sarNum, unsigned sarDen);

// Whether the track's size can be the visible part of this decoder's buffer: not larger,
// and smaller by no more than a codec's padding.
[[nodiscard]] bool trackFitsBuffer(QSize decoderBuffer, QSize trackSize);
