// Masked bitmap drawing for the diagram: copy part of a picture onto a painter through a
// monochrome mask, so that masked pixels leave the destination as it was.
#pragma once

#include <QBitmap>
#include <QPainter>
#include <QPixmap>

// Copies the Width x Height area of Source at (XSrc, YSrc) to (X, Y) on Dest. Where the
// Mask pixel at (XMask, YMask) + offset is set the destination stays; where it is clear the
// source pixel is copied. Always returns true.
bool DrawTransparent(QPainter& dest, int x, int y, int width, int height, const QPixmap& source, int xSrc,
                     int ySrc, const QBitmap& mask, int xMask, int yMask);

// The mask of Picture that is set wherever a pixel has the colour of its bottom-left pixel
// (the colour-key convention of the diagram's bitmaps).
QBitmap ColorKeyMask(const QPixmap& picture);
