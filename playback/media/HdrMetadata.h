#pragma once

#include "playback/media/VideoColours.h"

struct AVFormatContext;
struct AVFrame;
struct AVStream;

// HDR levels (the mastering display's peak and the content's brightest pixel) as a file
// carries them: in the container (Matroska, MP4) as the stream's side data, or only in
// the coded stream (HEVC SEI), where a decoded frame has them.

// From the stream's side data; false when it has none.
bool readHdrLevels(const AVStream& stream, ColourTags& tags);
// From a decoded frame's side data; false when it has none.
bool readHdrLevels(const AVFrame& frame, ColourTags& tags);
// From the first frame of stream, decoded with a decoder of its own; the file is read
// from its start again afterwards. For PQ video whose container says nothing.
void readHdrLevelsFromFirstFrame(AVFormatContext& format, int stream, ColourTags& tags);
