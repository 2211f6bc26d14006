// Masked copy composed on an image: the mask becomes the source's alpha channel.
#include "diagram/QBDrawUtils.h"

#include <QImage>

bool DrawTransparent(QPainter& dest, int x, int y, int width, int height, const QPixmap& source, int xSrc,
                     int ySrc, const QBitmap& mask, int xMask, int yMask) {
    if (width <= 0 || height <= 0) return true;
    QImage picture = source.copy(xSrc, ySrc, width, height).toImage().convertToFormat(QImage::Format_ARGB32);
    const QImage bits = mask.toImage().convertToFormat(QImage::Format_Mono);
    for (int row = 0; row < picture.height(); ++row) {
        auto* line = reinterpret_cast<QRgb*>(picture.scanLine(row));
        for (int col = 0; col < picture.width(); ++col) {
            const int mx = xMask + col, my = yMask + row;
            // color1 (a set bit) is index 1 of a mono bitmap's colour table.
            const bool set = mx >= 0 && my >= 0 && mx < bits.width() && my < bits.height() &&
                             bits.pixelIndex(mx, my) == 1;
            if (set) line[col] = qRgba(0, 0, 0, 0);
        }
    }
    dest.drawImage(QPoint(x, y), picture);
    return true;
}

QBitmap ColorKeyMask(const QPixmap& picture) {
    const QImage image = picture.toImage();
    if (image.isNull()) return QBitmap();
    const QRgb key = image.pixel(0, image.height() - 1);
    QImage mask(image.size(), QImage::Format_Mono);
    mask.setColorCount(2);
    mask.setColor(0, qRgb(255, 255, 255));  // clear: copy the picture
    mask.setColor(1, qRgb(0, 0, 0));        // set: keep the destination
    for (int row = 0; row < image.height(); ++row)
        for (int col = 0; col < image.width(); ++col) mask.setPixel(col, row, image.pixel(col, row) == key ? 1 : 0);
    return QBitmap::fromImage(mask);
}
