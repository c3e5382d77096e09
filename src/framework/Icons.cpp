#include "Icons.h"

#include <QHash>
#include <QPainter>
#include <QSvgRenderer>

QPixmap RenderSvg(const QString& path, QSize size) {
    QSvgRenderer renderer(path);
    if (!renderer.isValid()) return {};
    QPixmap pixmap(size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    renderer.render(&painter);
    return pixmap;
}

QIcon LoadIcon(const QString& name) {
    static QHash<QString, QIcon> cache;
    if (const auto found = cache.constFind(name); found != cache.constEnd()) return *found;
    QIcon icon;
    const QPixmap pixmap = RenderSvg(QStringLiteral(":/icons/%1.svg").arg(name), {16, 16});
    if (!pixmap.isNull()) icon.addPixmap(pixmap);
    cache.insert(name, icon);
    return icon;
}
