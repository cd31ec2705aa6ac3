// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/log_model.h"

#include "app/formats/log_line.h"
#include "recording/float_text.h"

#include <algorithm>

namespace app {

LogModel::LogModel(QObject* parent) : LogModel(recording::machineDecimalSeparator(), parent) {}

LogModel::LogModel(char decimalSeparator, QObject* parent)
    : QAbstractListModel(parent), decimalSeparator_(decimalSeparator) {}

void LogModel::append(double timeMs, double value) {
    const int row = rowCount();
    beginInsertRows(QModelIndex(), row, row);
    readings_.push_back({timeMs, value});
    endInsertRows();
}

void LogModel::appendGap(const recording::Gap& gap) {
    const int row = rowCount();
    beginInsertRows(QModelIndex(), row, row);
    gaps_.push_back({row, gap});
    endInsertRows();
}

void LogModel::appendAll(std::span<const recording::MeasurementPoint> readings,
                         std::span<const recording::PlacedGap> gaps) {
    if (readings.empty() && gaps.empty()) {
        return;
    }
    const int first = rowCount();
    const auto added = static_cast<int>(readings.size() + gaps.size());
    beginInsertRows(QModelIndex(), first, first + added - 1);
    for (std::size_t i = 0; i < gaps.size(); ++i) {
        gaps_.push_back({first + static_cast<int>(gaps[i].beforeReading + i), gaps[i].gap});
    }
    readings_.insert(readings_.end(), readings.begin(), readings.end());
    endInsertRows();
}

void LogModel::clear() {
    beginResetModel();
    readings_.clear();
    readings_.shrink_to_fit();
    gaps_.clear();
    gaps_.shrink_to_fit();
    endResetModel();
}

std::string LogModel::line(int i) const {
    const recording::MeasurementPoint& entry = readings_.at(static_cast<std::size_t>(i));
    return logLine(entry.timeMs, entry.value, decimalSeparator_);
}

recording::MeasurementPoint LogModel::reading(int i) const {
    return readings_.at(static_cast<std::size_t>(i));
}

std::string LogModel::rowText(int row) const {
    const auto gap = std::lower_bound(gaps_.begin(), gaps_.end(), row,
                                      [](const GapRow& g, int r) { return g.row < r; });
    if (gap != gaps_.end() && gap->row == row) {
        return gapLogLine(gap->gap, decimalSeparator_);
    }
    return line(row - static_cast<int>(gap - gaps_.begin()));
}

int LogModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : count() + static_cast<int>(gaps_.size());
}

QVariant LogModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid() || index.parent().isValid() ||
        index.row() >= rowCount()) {
        return {};
    }
    return QString::fromLatin1(rowText(index.row()));
}

} // namespace app
