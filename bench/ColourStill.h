#pragma once

#include <QString>

// The picture our engine shows of a clip (headless, paused half a second in), written as
// raw RGB24 for comparing with ffmpeg's pictures; prints a JSON object with its size.
int runColourStill(const QString& clip, const QString& rawPath);

// What converting one frame costs (medians of many), for each kind of colours, at full
// size and at a size the screen paints; prints a JSON object.
int runConversionCost(int width, int height);
