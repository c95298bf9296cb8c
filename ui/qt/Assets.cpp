#include "Assets.h"

#include "EmbeddedArt.h"

#include <QPixmap>

namespace {

// A QImage over the compiled-in pixels, without copying them.
QImage imageOf(const art::Image &image, QImage::Format format)
{
    return QImage(reinterpret_cast<const uchar *>(image.argb), image.width, image.height,
                  image.width * 4, format);
}

} // namespace

QImage formulaPicture()
{
    return imageOf(art::formula, QImage::Format_RGB32);
}

QIcon programIcon()
{
    QIcon icon;
    icon.addPixmap(QPixmap::fromImage(imageOf(art::icon32, QImage::Format_ARGB32)));
    icon.addPixmap(QPixmap::fromImage(imageOf(art::icon16, QImage::Format_ARGB32)));
    return icon;
}
