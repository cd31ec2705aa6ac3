// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/popup_menu.h"

#include <QMenu>
#include <QWidget>

namespace app {
namespace {

QString literalCaption(const char* caption) {
    return QString::fromUtf8(caption).replace(QLatin1Char('&'), QLatin1String("&&"));
}

} // namespace

QAction* addMenuEntry(QMenu* menu, const char* caption) {
    return menu->addAction(literalCaption(caption));
}

QAction* insertMenuEntryBeforeLastGroup(QMenu* menu, const char* caption) {
    QAction* before = nullptr;
    for (QAction* action : menu->actions()) {
        if (action->isSeparator()) {
            before = action;
        }
    }
    auto* entry = new QAction(literalCaption(caption), menu);
    menu->insertAction(before, entry);
    return entry;
}

QMenu* addSubMenu(QMenu* menu, const char* caption) {
    return menu->addMenu(literalCaption(caption));
}

void attachPopup(QWidget* widget, QMenu* menu) {
    widget->setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(widget, &QWidget::customContextMenuRequested, menu,
                     [widget, menu](const QPoint& at) { menu->popup(widget->mapToGlobal(at)); });
}

} // namespace app
