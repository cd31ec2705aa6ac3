// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/widget_style.h"

#include <QPalette>
#include <QWidget>

namespace app {

// Courier and Tahoma, the faces these controls were laid out for, as Debian has them.
QFont listFont() {
    QFont font(QStringLiteral("Liberation Mono"));
    font.setStyleHint(QFont::TypeWriter);
    font.setPixelSize(15);
    return font;
}

QFont sansFont() {
    QFont font(QStringLiteral("Liberation Sans"));
    font.setStyleHint(QFont::SansSerif);
    return font;
}

void setTextColour(QWidget* widget, Qt::GlobalColor colour) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Text, colour);
    palette.setColor(QPalette::WindowText, colour);
    widget->setPalette(palette);
}

} // namespace app
