#include "Icons.h"

#include <QHash>
#include <QIconEngine>
#include <QImageReader>
#include <QPainter>
#include <QSvgRenderer>

#include <memory>

namespace {

// Hands every request to the icon made on first use. Copies of the icon share it.
class CDeferredIconEngine : public QIconEngine {
public:
    struct Shared {
        std::function<QIcon()> make;
        QIcon icon;
    };

    explicit CDeferredIconEngine(std::shared_ptr<Shared> shared) : m_shared(std::move(shared)) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode,
               QIcon::State state) override {
        Icon().paint(painter, rect, Qt::AlignCenter, mode, state);
    }
    QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return Icon().actualSize(size, mode, state);
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return Icon().pixmap(size, 1.0, mode, state);
    }
    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state,
                         qreal scale) override {
        return Icon().pixmap(size / scale, scale, mode, state);
    }
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override {
        return Icon().availableSizes(mode, state);
    }
    QString iconName() override { return Icon().name(); }
    bool isNull() override { return Icon().isNull(); }
    QString key() const override { return QStringLiteral("CDeferredIconEngine"); }
    QIconEngine* clone() const override { return new CDeferredIconEngine(m_shared); }

private:
    const QIcon& Icon() {
        if (m_shared->make) {
            m_shared->icon = m_shared->make();
            m_shared->make = nullptr;
        }
        return m_shared->icon;
    }

    std::shared_ptr<Shared> m_shared;
};

} // namespace

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
    const QIcon icon = DeferredIcon([name] {
        QIcon drawn;
        // Read by the built-in PNG reader alone: asked for no particular format, the image
        // reader would first load every image-format plugin to ask it.
        QImageReader reader(QStringLiteral(":/icons/%1.png").arg(name), "png");
        reader.setAutoDetectImageFormat(false);
        const QImage image = reader.read();
        if (!image.isNull()) drawn.addPixmap(QPixmap::fromImage(image));
        return drawn;
    });
    cache.insert(name, icon);
    return icon;
}

QIcon DeferredIcon(std::function<QIcon()> make) {
    auto shared = std::make_shared<CDeferredIconEngine::Shared>();
    shared->make = std::move(make);
    return QIcon(new CDeferredIconEngine(std::move(shared)));
}
