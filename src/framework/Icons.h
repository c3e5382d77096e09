#pragma once

#include <QIcon>
#include <QPixmap>
#include <QSize>
#include <QString>

#include <functional>

// The pictures of the application's resources are SVG files drawn here rather than by the
// image plugins, which spares start-up the loading of every image-format plugin.

// The picture at `path` drawn at `size`; a null pixmap when it cannot be read.
QPixmap RenderSvg(const QString& path, QSize size);

// The icon res/icons/NAME.svg at the 16 pixels of menus, tabs and toolbars, read the first
// time it is shown or measured from ":/icons/NAME.png", which the build draws from the SVG
// file with RenderSvg (quillet_bake_icons).
QIcon LoadIcon(const QString& name);

// An icon that `make` makes the first time the icon is drawn, measured or asked whether it
// is null, and that then is that icon. Start-up pays nothing for icons not shown yet (a
// window icon where the platform shows none, the items of a tab behind another).
QIcon DeferredIcon(std::function<QIcon()> make);
