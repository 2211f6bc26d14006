// The diagram's bitmaps and cursor, loaded once from the resources by their names
// ("BTN1", "CHECKBMP", "DragCursor", ...). Each has a 1x and a 2x picture; the 2x one is
// used on high-density screens so lines and ticks stay sharp.
#pragma once

#include <QPixmap>

// The picture Name for a device of the given pixel ratio (a shared copy); null for unknown names.
QPixmap QBImage(const char* name, qreal devicePixelRatio = 1.0);
