#include "Assets.h"

#include <QPixmap>

QImage formulaPicture()
{
    return QImage(QStringLiteral(":/assets/formula.bmp"), "BMP");
}

QIcon programIcon()
{
    // The .ico file's two images, kept as PNG: Qt reads PNG without a plugin.
    QIcon icon;
    icon.addPixmap(QPixmap(QStringLiteral(":/assets/icon-32.png"), "PNG"));
    icon.addPixmap(QPixmap(QStringLiteral(":/assets/icon-16.png"), "PNG"));
    return icon;
}
