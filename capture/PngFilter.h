#pragma once

#include <QtGlobal>

// PNG row prediction for 8-bit RGB rows, used only where it pays. Camera grain gains
// almost nothing from prediction, so a sample of rows decides first, at an eighth of the
// cost; smooth pictures (gradients, animation, a slow pan) shrink much, and their rows
// then each get the filter (none, Sub, Up or Paeth) whose output is smallest by the usual
// measure, the sum of the bytes' distances from zero.
//
// rows: height rows of 1 + width * 3 bytes, each a filter byte (0) and the pixels; on
// return filtered in place, each with its filter byte. True when any row was filtered.
bool predictRows(uchar* rows, int width, int height);
