// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "recording/measurement_file.h"
#include "recording/measurement_loading.h"

#include <QAbstractListModel>
#include <deque>
#include <span>
#include <string>
#include <vector>

namespace app {

// The measurement log behind the log list view. Keeps each reading as its time stamp and value
// (16 bytes) and makes a line's text only when a view or the export asks for it, so a long
// measurement costs little memory and appending stays constant-time. A gap of the recording is a
// row of its own among the readings' rows; the readings are counted and numbered without them.
class LogModel : public QAbstractListModel {
    Q_OBJECT
public:
    explicit LogModel(QObject* parent = nullptr);
    LogModel(char decimalSeparator, QObject* parent = nullptr);

    void append(double timeMs, double value);
    void appendGap(const recording::Gap& gap);
    // Many readings at once, with the gaps among them: the views hear of them once.
    void appendAll(std::span<const recording::MeasurementPoint> readings,
                   std::span<const recording::PlacedGap> gaps = {});
    void clear();
    // Readings, not rows.
    int count() const { return static_cast<int>(readings_.size()); }
    // The log line of reading i (0 = oldest), byte for byte as the list shows it.
    std::string line(int i) const;
    // Reading i itself.
    recording::MeasurementPoint reading(int i) const;
    // The text of row `row` (0 = oldest) of the list: a reading's line or a gap's.
    std::string rowText(int row) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

private:
    struct GapRow {
        int row;
        recording::Gap gap;
    };

    char decimalSeparator_;
    std::deque<recording::MeasurementPoint>
        readings_;             // chunked: growing never copies the whole log
    std::vector<GapRow> gaps_; // by row
};

} // namespace app
