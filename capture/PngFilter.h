#pragma once

#include <QtGlobal>

// PNG row prediction for 8-bit RGB rows, used only where it pays. An eighth of the rows
// is measured under each filter (Sub, Up, Paeth) by the usual measure, the sum of the
// bytes' distances from zero; when the best cuts that by at least 15 % against no
// prediction, it is applied to every row. Smooth pictures (gradients, animation, a slow
// pan) shrink much; camera grain little, and may then be left as it is.
//
// rows: height rows of 1 + width * 3 bytes, each a filter byte (0) and the pixels; on
// return filtered in place, each with its filter byte. True when the rows were filtered.
bool predictRows(uchar* rows, int width, int height);
