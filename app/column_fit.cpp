// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/column_fit.h"

#include <QTableWidget>
#include <algorithm>

namespace app {
namespace {

// The widths remembered: the names, units and taus of the table come again and again, its values
// rarely.
constexpr qsizetype kRememberedWidths = 4096;

} // namespace

void ColumnFit::setCell(int row, int column, const QString& text, Qt::Alignment alignment) {
    QTableWidgetItem* item = table_.item(row, column);
    if (item == nullptr) {
        item = new QTableWidgetItem(text);
        item->setTextAlignment(alignment);
        table_.setItem(row, column, item);
    } else if (item->text() != text) {
        item->setText(text);
    } else {
        return;
    }
    const auto columnIndex = static_cast<std::size_t>(column);
    if (cells_.size() <= columnIndex) {
        cells_.resize(columnIndex + 1);
    }
    std::vector<qreal>& widths = cells_[columnIndex];
    if (widths.size() <= static_cast<std::size_t>(row)) {
        widths.resize(static_cast<std::size_t>(row) + 1, 0);
    }
    widths[static_cast<std::size_t>(row)] = textWidth(text);
}

void ColumnFit::fit() {
    if (!metrics_ || table_.font() != font_) {
        measureAll();
    }
    const auto columns = static_cast<std::size_t>(table_.columnCount());
    const auto rows = static_cast<std::size_t>(table_.rowCount());
    cells_.resize(columns);
    std::vector<qreal> widest(columns, 0);
    for (std::size_t column = 0; column < columns; ++column) {
        cells_[column].resize(rows, 0);
        for (const qreal width : cells_[column]) {
            widest[column] = std::max(widest[column], width);
        }
    }
    if (widest != widest_) {
        widest_ = std::move(widest);
        table_.resizeColumnsToContents();
    }
}

qreal ColumnFit::textWidth(const QString& text) {
    if (!metrics_ || table_.font() != font_) {
        measureAll();
    }
    auto known = widths_.constFind(text);
    if (known == widths_.constEnd()) {
        if (widths_.size() > kRememberedWidths) {
            widths_.clear();
        }
        known = widths_.insert(text, metrics_->horizontalAdvance(text));
    }
    return *known;
}

// A new font: every text measured again.
void ColumnFit::measureAll() {
    font_ = table_.font();
    metrics_.emplace(font_);
    widths_.clear();
    widest_.clear();
    cells_.assign(static_cast<std::size_t>(table_.columnCount()), {});
    for (int column = 0; column < table_.columnCount(); ++column) {
        std::vector<qreal>& widths = cells_[static_cast<std::size_t>(column)];
        widths.assign(static_cast<std::size_t>(table_.rowCount()), 0);
        for (int row = 0; row < table_.rowCount(); ++row) {
            if (const QTableWidgetItem* item = table_.item(row, column)) {
                widths[static_cast<std::size_t>(row)] = textWidth(item->text());
            }
        }
    }
}

} // namespace app
