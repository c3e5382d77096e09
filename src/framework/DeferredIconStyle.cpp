#include "DeferredIconStyle.h"

#include "Icons.h"

#include <QPointer>
#include <QStyleOption>

QIcon CDeferredIconStyle::standardIcon(StandardPixmap icon, const QStyleOption* option,
                                       const QWidget* widget) const {
    // What the base style is asked later is what it is asked now: the option's common part
    // (direction, palette) and the widget while it lives.
    const bool withOption = option != nullptr;
    const QStyleOption copied = withOption ? *option : QStyleOption();
    return DeferredIcon([base = QPointer<QStyle>(baseStyle()), icon, withOption, copied,
                         from = QPointer<QWidget>(const_cast<QWidget*>(widget))] {
        return base ? base->standardIcon(icon, withOption ? &copied : nullptr, from) : QIcon();
    });
}
