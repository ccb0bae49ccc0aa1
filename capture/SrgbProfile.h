#pragma once

#include <QByteArray>

// A small ICC profile of sRGB (version 2, as cameras embed it), for JPEG files: what the
// screen shows, and so what a snapshot's pixels mean.
[[nodiscard]] const QByteArray& srgbIccProfile();
