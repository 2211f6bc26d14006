// The masked copy: set mask bits keep the destination, clear bits copy the source, and the
// colour-key mask marks every pixel of the bottom-left pixel's colour.
#include <QImage>

#include "DiagramTestSupport.h"
#include "diagram/QBDrawUtils.h"

namespace {

// A 4 x 4 source: magenta border (the key colour) around a 2 x 2 blue centre.
QPixmap KeyedPicture() {
    QImage image(4, 4, QImage::Format_RGB32);
    image.fill(qRgb(255, 0, 255));
    for (int y = 1; y < 3; ++y)
        for (int x = 1; x < 3; ++x) image.setPixel(x, y, qRgb(0, 0, 255));
    return QPixmap::fromImage(image);
}

QImage Destination() {
    QImage image(8, 8, QImage::Format_RGB32);
    image.fill(qRgb(0, 255, 0));
    return image;
}

TEST(DrawTransparent, KeyColourLeavesTheDestinationAndTheRestIsCopied) {
    TestApp();
    const QPixmap picture = KeyedPicture();
    const QBitmap mask = ColorKeyMask(picture);
    QImage dest = Destination();
    {
        QPainter painter(&dest);
        EXPECT_TRUE(DrawTransparent(painter, 2, 2, 4, 4, picture, 0, 0, mask, 0, 0));
    }
    struct Pixel {
        int x, y;
        QRgb colour;
    };
    for (const Pixel& p : {Pixel{2, 2, qRgb(0, 255, 0)}, Pixel{5, 5, qRgb(0, 255, 0)}, Pixel{3, 3, qRgb(0, 0, 255)},
                           Pixel{4, 4, qRgb(0, 0, 255)}, Pixel{0, 0, qRgb(0, 255, 0)}, Pixel{7, 7, qRgb(0, 255, 0)}})
        EXPECT_EQ(dest.pixel(p.x, p.y), p.colour) << p.x << "," << p.y;
}

TEST(DrawTransparent, SourceAndMaskOffsetsAreHonoured) {
    TestApp();
    const QPixmap picture = KeyedPicture();
    const QBitmap mask = ColorKeyMask(picture);
    QImage dest = Destination();
    {
        QPainter painter(&dest);
        // Only the centre, read from (1, 1) of both source and mask.
        DrawTransparent(painter, 0, 0, 2, 2, picture, 1, 1, mask, 1, 1);
    }
    EXPECT_EQ(dest.pixel(0, 0), qRgb(0, 0, 255));
    EXPECT_EQ(dest.pixel(1, 1), qRgb(0, 0, 255));
    EXPECT_EQ(dest.pixel(2, 2), qRgb(0, 255, 0));
    QPainter painter(&dest);
    EXPECT_TRUE(DrawTransparent(painter, 0, 0, 0, 0, picture, 0, 0, mask, 0, 0));  // nothing to copy
}

}  // namespace
