// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFont>
#include <QHash>
#include <QString>
#include <vector>

class QTableWidget;

namespace app {

// Fits a table's columns to their texts (QTableView::resizeColumnsToContents), but only when the
// widest text of a column has another width than at the last fit: a column's fitted width follows
// from its widest text alone, and measuring every cell through the item delegate costs most of a
// millisecond where the widths of the texts cost a tenth of that.
class ColumnFit {
public:
    explicit ColumnFit(QTableWidget& table) : table_(table) {}

    // After the texts of the cells have changed.
    void fit();

private:
    QTableWidget& table_;
    QFont font_;
    std::vector<qreal> widest_; // per column, at the last fit
    QHash<QString, qreal> widths_;
};

} // namespace app
