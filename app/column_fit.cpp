// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/column_fit.h"

#include <QFontMetricsF>
#include <QTableWidget>
#include <algorithm>

namespace app {
namespace {

// The widths remembered: the names, units and taus of the table come again and again, its values
// rarely.
constexpr qsizetype kRememberedWidths = 4096;

} // namespace

void ColumnFit::fit() {
    if (table_.font() != font_) {
        font_ = table_.font();
        widths_.clear();
        widest_.clear();
    }
    if (widths_.size() > kRememberedWidths) {
        widths_.clear();
    }
    const QFontMetricsF metrics(font_);
    std::vector<qreal> widest(static_cast<std::size_t>(table_.columnCount()), 0);
    for (int column = 0; column < table_.columnCount(); ++column) {
        for (int row = 0; row < table_.rowCount(); ++row) {
            if (const QTableWidgetItem* item = table_.item(row, column)) {
                const QString text = item->text();
                auto known = widths_.constFind(text);
                if (known == widths_.constEnd()) {
                    known = widths_.insert(text, metrics.horizontalAdvance(text));
                }
                qreal& width = widest[static_cast<std::size_t>(column)];
                width = std::max(width, *known);
            }
        }
    }
    if (widest != widest_) {
        widest_ = std::move(widest);
        table_.resizeColumnsToContents();
    }
}

} // namespace app
