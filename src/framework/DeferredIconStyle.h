#pragma once

#include <QProxyStyle>

// The application's style with its standard icons made when first shown. The Fusion style
// decodes several PNG sizes for each, and the first decode loads every image-format plugin,
// for icons a window mostly never shows (the extension buttons of tool and menu bars, the
// entries of a window's system menu).
class CDeferredIconStyle : public QProxyStyle {
    Q_OBJECT

public:
    QIcon standardIcon(StandardPixmap icon, const QStyleOption* option,
                       const QWidget* widget) const override;
};
