// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFont>
#include <QFontMetricsF>
#include <QHash>
#include <QString>
#include <Qt>
#include <optional>
#include <vector>

class QTableWidget;

namespace app {

// Sets a table's cells and fits its columns to their texts (QTableView::resizeColumnsToContents),
// but only when the widest text of a column has another width than at the last fit: a column's
// fitted width follows from its widest text alone, and measuring every cell through the item
// delegate costs most of a millisecond where the widths of the texts cost a tenth of that. The
// width of a cell's text is measured when the text changes, not at every fit.
class ColumnFit {
public:
    explicit ColumnFit(QTableWidget& table) : table_(table) {}

    // An unchanged text asks for no repaint. A new cell takes the alignment.
    void setCell(int row, int column, const QString& text, Qt::Alignment alignment);
    // After the cells have been set, each of those there are.
    void fit();

private:
    qreal textWidth(const QString& text);
    void measureAll();

    QTableWidget& table_;
    QFont font_;
    std::optional<QFontMetricsF> metrics_;  // of font_
    std::vector<qreal> widest_;             // per column, at the last fit
    std::vector<std::vector<qreal>> cells_; // per column and row: the width of its text
    QHash<QString, qreal> widths_;
};

} // namespace app
