#include "app/log_model.h"

#include "app/formats/float_text.h"
#include "app/formats/log_line.h"

namespace app {

TLogModel::TLogModel(QObject* parent) : TLogModel(MachineDecimalSeparator(), parent) {}

TLogModel::TLogModel(char decimalSeparator, QObject* parent)
    : QAbstractListModel(parent), DecimalSeparator(decimalSeparator) {}

void TLogModel::Append(double timeMs, double value) {
    const int row = Count();
    beginInsertRows(QModelIndex(), row, row);
    Readings.push_back({timeMs, value});
    endInsertRows();
}

void TLogModel::Clear() {
    beginResetModel();
    Readings.clear();
    Readings.shrink_to_fit();
    endResetModel();
}

std::string TLogModel::Line(int i) const {
    const Reading& r = Readings.at(static_cast<std::size_t>(i));
    return LogLine(r.TimeMs, r.Value, DecimalSeparator);
}

int TLogModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : Count();
}

QVariant TLogModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid() || index.parent().isValid() ||
        index.row() >= Count()) {
        return {};
    }
    return QString::fromLatin1(Line(index.row()));
}

} // namespace app
