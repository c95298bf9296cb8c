#include "Assets.h"

#include <QImageReader>
#include <QPixmap>

QImage formulaPicture()
{
    return QImage(QStringLiteral(":/assets/formula.bmp"), "BMP");
}

QIcon programIcon()
{
    QIcon icon;
    QImageReader reader(QStringLiteral(":/assets/vantrel1.ico"), "ICO");
    for (int i = 0; i < reader.imageCount(); ++i) {
        reader.jumpToImage(i);
        icon.addPixmap(QPixmap::fromImage(reader.read()));
    }
    return icon;
}
