// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "recording/measurement_file.h"

#include <QAbstractListModel>
#include <deque>
#include <span>
#include <string>

namespace app {

// The measurement log behind the log list view. Keeps each reading as its time stamp and value
// (16 bytes) and makes a line's text only when a view or the export asks for it, so a long
// measurement costs little memory and appending stays constant-time.
class LogModel : public QAbstractListModel {
    Q_OBJECT
public:
    explicit LogModel(QObject* parent = nullptr);
    LogModel(char decimalSeparator, QObject* parent = nullptr);

    void append(double timeMs, double value);
    // Many readings at once: the views hear of them once.
    void appendAll(std::span<const recording::MeasurementPoint> readings);
    void clear();
    int count() const { return static_cast<int>(readings_.size()); }
    // The log line of reading i (0 = oldest), byte for byte as the list shows it.
    std::string line(int i) const;
    // Reading i itself.
    recording::MeasurementPoint reading(int i) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

private:
    char decimalSeparator_;
    std::deque<recording::MeasurementPoint>
        readings_; // chunked: growing never copies the whole log
};

} // namespace app
