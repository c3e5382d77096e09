#pragma once

#include <QIcon>
#include <QPixmap>
#include <QSize>
#include <QString>

// The pictures of the application's resources are SVG files drawn here rather than by the
// image plugins, which spares start-up the loading of every image-format plugin.

// The picture at `path` drawn at `size`; a null pixmap when it cannot be read.
QPixmap RenderSvg(const QString& path, QSize size);

// The icon ":/icons/NAME.svg", drawn once at the 16 pixels of menus, tabs and toolbars.
QIcon LoadIcon(const QString& name);
