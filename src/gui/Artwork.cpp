// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/Artwork.h"
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QPainter>
#include <QSvgRenderer>

namespace Artwork {
namespace {

// The icon engine for SVG draws each size and mode when it is first asked for, so that no
// picture is drawn at start that the window never shows.
QIcon svgIcon(const QString &resource)
{
    return QFile::exists(resource) ? QIcon(resource) : QIcon();
}

QIcon listIcon(int index)
{
    return svgIcon(QStringLiteral(":/images/icon-%1.svg").arg(index, 2, 10, QLatin1Char('0')));
}

} // namespace

QIcon listIcon(Picture picture)
{
    return listIcon(int(picture));
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
    return svgIcon(QStringLiteral(":/images/app.svg"));
}

QIcon bulbIcon()
{
    return svgIcon(QStringLiteral(":/images/bulb.svg"));
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
