// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/log_model.h"

#include "app/formats/log_line.h"
#include "recording/float_text.h"

#include <algorithm>
#include <stdexcept>

namespace app {

LogModel::LogModel(QObject* parent) : LogModel(recording::machineDecimalSeparator(), parent) {}

LogModel::LogModel(char decimalSeparator, QObject* parent)
    : QAbstractListModel(parent), decimalSeparator_(decimalSeparator),
      own_(std::make_shared<recording::ReadingStore>()) {
    store_ = own_;
}

void LogModel::show(std::shared_ptr<const recording::ReadingTable> store) {
    beginResetModel();
    store_ = std::move(store);
    readings_ = 0;
    gaps_ = 0;
    endResetModel();
    showNewRows();
}

void LogModel::showNewRows() {
    const int first = rowCount();
    const auto added = static_cast<int>(store_->size() + store_->gaps().size()) - first;
    if (added <= 0) {
        return;
    }
    beginInsertRows(QModelIndex(), first, first + added - 1);
    readings_ = store_->size();
    gaps_ = store_->gaps().size();
    endInsertRows();
}

std::shared_ptr<recording::ReadingStore> LogModel::ownStore() {
    if (store_ != own_) {
        own_ = std::make_shared<recording::ReadingStore>();
        show(own_);
    }
    return own_;
}

void LogModel::append(double timeMs, double value) {
    ownStore()->append(timeMs, value, analysis::Quantity::Frequency);
    showNewRows();
}

void LogModel::appendGap(const recording::Gap& gap) {
    ownStore()->appendGap(gap);
    showNewRows();
}

void LogModel::clear() {
    own_ = std::make_shared<recording::ReadingStore>();
    show(own_);
}

std::string LogModel::line(int i) const {
    const recording::MeasurementPoint entry = reading(i);
    return logLine(entry.timeMs, entry.value, decimalSeparator_);
}

recording::MeasurementPoint LogModel::reading(int i) const {
    if (i < 0 || static_cast<std::size_t>(i) >= readings_) {
        throw std::out_of_range("no such reading in the log");
    }
    return store_->reading(static_cast<std::size_t>(i));
}

// Gap k is row beforeReading + k: the rows of the gaps ascend with k.
std::string LogModel::rowText(int row) const {
    const std::vector<recording::PlacedGap>& gaps = store_->gaps();
    const auto row64 = static_cast<std::size_t>(row);
    std::size_t low = 0;
    std::size_t high = gaps_;
    while (low < high) {
        const std::size_t k = low + (high - low) / 2;
        if (gaps[k].beforeReading + k < row64) {
            low = k + 1;
        } else {
            high = k;
        }
    }
    if (low < gaps_ && gaps[low].beforeReading + low == row64) {
        return gapLogLine(gaps[low].gap, decimalSeparator_);
    }
    return line(row - static_cast<int>(low));
}

int LogModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(readings_ + gaps_);
}

QVariant LogModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid() || index.parent().isValid() ||
        index.row() >= rowCount()) {
        return {};
    }
    return QString::fromLatin1(rowText(index.row()));
}

} // namespace app
