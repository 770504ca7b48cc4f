#include "gui/Artwork.h"
#include <QCoreApplication>
#include <QFileInfo>
#include <QImageReader>
#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

namespace Artwork {
namespace {

QPixmap render(QSvgRenderer &renderer, int size, qreal ratio)
{
    QPixmap pixmap(QSize(size, size) * ratio);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    renderer.render(&painter);
    painter.end();
    pixmap.setDevicePixelRatio(ratio);
    return pixmap;
}

QIcon svgIcon(const QString &resource, std::initializer_list<int> sizes)
{
    QSvgRenderer renderer(resource);
    QIcon icon;
    if (!renderer.isValid())
        return icon;
    for (int size : sizes) {
        icon.addPixmap(render(renderer, size, 1.0));
        icon.addPixmap(render(renderer, size, 2.0));
    }
    return icon;
}

} // namespace

QIcon listIcon(int index)
{
    return svgIcon(QStringLiteral(":/images/icon-%1.svg").arg(index, 2, 10, QLatin1Char('0')), {16, 22, 32});
}

std::vector<QIcon> imageList16()
{
    std::vector<QIcon> icons;
    icons.reserve(size_t(kImageList16Count));
    for (int i = 0; i < kImageList16Count; ++i)
        icons.push_back(listIcon(i));
    return icons;
}

QIcon appIcon()
{
    return svgIcon(QStringLiteral(":/images/app.svg"), {16, 22, 32, 48, 64, 128});
}

QIcon bulbIcon()
{
    return svgIcon(QStringLiteral(":/images/bulb.svg"), {16, 22});
}

QImage loadBackground(const QString &programFolder, const QString &fileName, QString *error)
{
    const QString userFile = programFolder + kUserFolder + fileName;
    if (QFileInfo::exists(userFile)) {
        QImageReader reader(userFile);
        const QImage image = reader.read();
        if (!image.isNull())
            return image;
        if (error)
            *error = QCoreApplication::translate("Artwork", "Unable to read the picture \"%1\": %2").arg(userFile, reader.errorString());
    }
    // Built-in pictures are stretched over rows and toolbars; a wide rendering keeps the
    // gradients smooth when stretched.
    QSvgRenderer renderer(QStringLiteral(":/images/%1.svg").arg(QFileInfo(fileName).completeBaseName()));
    QImage image(256, 64, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    renderer.render(&painter);
    return image;
}

} // namespace Artwork
