// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "recording/measurement_file.h"
#include "recording/reading_store.h"

#include <QAbstractListModel>
#include <memory>
#include <string>

namespace app {

// The measurement log behind the log list view: its rows are the readings and gaps of a store of
// readings, and a line's text is made only when a view or the export asks for it, so the log
// costs no memory of its own per reading. A gap of the recording is a row of its own among the
// readings' rows; the readings are counted and numbered without them.
//
// The rows are those the views have been told of: what the store gains shows with the next
// showNewRows().
class LogModel : public QAbstractListModel {
    Q_OBJECT
public:
    explicit LogModel(QObject* parent = nullptr);
    LogModel(char decimalSeparator, QObject* parent = nullptr);

    // The rows of this store from now on, all of them told to the views at once.
    void show(std::shared_ptr<const recording::ReadingTable> store);
    // Tells the views of the rows the store has gained.
    void showNewRows();

    // A reading or gap appended to the log's own store, which it shows until given another, and
    // shown.
    void append(double timeMs, double value);
    void appendGap(const recording::Gap& gap);
    // An empty store of its own.
    void clear();

    // Readings, not rows.
    int count() const { return static_cast<int>(readings_); }
    // The log line of reading i (0 = oldest), byte for byte as the list shows it.
    std::string line(int i) const;
    // Reading i itself.
    recording::MeasurementPoint reading(int i) const;
    // The text of row `row` (0 = oldest) of the list: a reading's line or a gap's.
    std::string rowText(int row) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

private:
    std::shared_ptr<recording::ReadingStore> ownStore();

    char decimalSeparator_;
    std::shared_ptr<const recording::ReadingTable> store_;
    std::shared_ptr<recording::ReadingStore> own_; // the store append() writes to
    std::size_t readings_ = 0;                     // shown
    std::size_t gaps_ = 0;                         // shown
};

} // namespace app
