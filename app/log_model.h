#pragma once

#include <QAbstractListModel>
#include <deque>
#include <string>

namespace app {

// The measurement log behind the log list view. Keeps each reading as its time stamp and value
// (16 bytes) and makes a line's text only when a view or the export asks for it, so a long
// measurement costs little memory and appending stays constant-time.
class TLogModel : public QAbstractListModel {
    Q_OBJECT
public:
    explicit TLogModel(QObject* parent = nullptr);
    TLogModel(char decimalSeparator, QObject* parent = nullptr);

    void Append(double timeMs, double value);
    void Clear();
    int Count() const { return static_cast<int>(Readings.size()); }
    // The log line of reading i (0 = oldest), byte for byte as the list shows it.
    std::string Line(int i) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

private:
    struct Reading {
        double TimeMs;
        double Value;
    };

    char DecimalSeparator;
    std::deque<Reading> Readings; // chunked: growing never copies the whole log
};

} // namespace app
