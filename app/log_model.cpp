// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/log_model.h"

#include "app/formats/log_line.h"
#include "recording/float_text.h"

namespace app {

LogModel::LogModel(QObject* parent) : LogModel(recording::machineDecimalSeparator(), parent) {}

LogModel::LogModel(char decimalSeparator, QObject* parent)
    : QAbstractListModel(parent), decimalSeparator_(decimalSeparator) {}

void LogModel::append(double timeMs, double value) {
    const int row = count();
    beginInsertRows(QModelIndex(), row, row);
    readings_.push_back({timeMs, value});
    endInsertRows();
}

void LogModel::appendAll(std::span<const recording::MeasurementPoint> readings) {
    if (readings.empty()) {
        return;
    }
    const int row = count();
    beginInsertRows(QModelIndex(), row, row + static_cast<int>(readings.size()) - 1);
    readings_.insert(readings_.end(), readings.begin(), readings.end());
    endInsertRows();
}

void LogModel::clear() {
    beginResetModel();
    readings_.clear();
    readings_.shrink_to_fit();
    endResetModel();
}

std::string LogModel::line(int i) const {
    const recording::MeasurementPoint& entry = readings_.at(static_cast<std::size_t>(i));
    return logLine(entry.timeMs, entry.value, decimalSeparator_);
}

recording::MeasurementPoint LogModel::reading(int i) const {
    return readings_.at(static_cast<std::size_t>(i));
}

int LogModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : count();
}

QVariant LogModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid() || index.parent().isValid() ||
        index.row() >= count()) {
        return {};
    }
    return QString::fromLatin1(line(index.row()));
}

} // namespace app
