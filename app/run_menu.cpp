// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/run_menu.h"

#include "app/popup_menu.h"
#include "app/run_list.h"

#include <QIcon>
#include <QMenu>
#include <QPixmap>

namespace app {
namespace {

constexpr int kSwatchPixels = 12;

QIcon swatch(plot::Color colour) {
    QPixmap pixmap(kSwatchPixels, kSwatchPixels);
    const auto rgb = static_cast<unsigned>(colour);
    pixmap.fill(QColor(static_cast<int>(rgb & 0xFFu), static_cast<int>(rgb >> 8 & 0xFFu),
                       static_cast<int>(rgb >> 16 & 0xFFu)));
    return QIcon(pixmap);
}

void fill(QMenu* menu, RunList& runs) {
    menu->clear();
    for (const Run& run : runs.runs()) {
        QMenu* entry = addSubMenu(menu, run.name.c_str());
        entry->setIcon(swatch(run.colour));
        QAction* shown = addMenuEntry(entry, "Shown");
        shown->setCheckable(true);
        shown->setChecked(run.visible);
        // The entry names its run by its readings: the list may have changed since it was made.
        const recording::ReadingTable* readings = run.readings.get();
        QObject::connect(shown, &QAction::toggled, &runs, [&runs, readings](bool on) {
            runs.setVisible(runs.indexOf(readings), on);
        });
        QObject::connect(
            addMenuEntry(entry, "Close"), &QAction::triggered, &runs, [&runs, readings] {
                if (const std::size_t index = runs.indexOf(readings); index < runs.runs().size()) {
                    emit runs.closeRequested(index);
                }
            });
    }
    menu->setEnabled(!runs.runs().empty());
}

} // namespace

void addRunMenu(QMenu* menu, RunList& runs) {
    QMenu* list = addSubMenu(menu, "Runs");
    fill(list, runs);
    // Queued: an entry that changes the list must not be deleted while it signals.
    QObject::connect(
        &runs, &RunList::changed, list, [list, &runs] { fill(list, runs); }, Qt::QueuedConnection);
}

} // namespace app
