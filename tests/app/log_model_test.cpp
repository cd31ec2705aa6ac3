// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/log_model.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

namespace {

TEST(LogModel, MakesEachLineFromItsReading) {
    app::LogModel log('.');
    log.append(2000, 10000000.5);
    log.append(2500, 1.5e-6);
    log.append(1e16, -0.25);
    ASSERT_EQ(log.count(), 3);
    EXPECT_EQ(log.line(0), "2000        10000000.5");
    EXPECT_EQ(log.line(1), "2500        1.5E-6");
    EXPECT_EQ(log.line(2), "1E16        -0.25");
    EXPECT_THROW(log.line(3), std::out_of_range);
}

TEST(LogModel, ViewsSeeTheSameTextAsLatin1) {
    app::LogModel log(',');
    log.append(2000, 10000000.5);
    EXPECT_EQ(log.rowCount(), 1);
    EXPECT_EQ(log.rowCount(log.index(0)), 0); // a flat list: rows have no children
    EXPECT_EQ(log.data(log.index(0)).toString(), QString("2000        10000000,5"));
    EXPECT_FALSE(log.data(log.index(0), Qt::DecorationRole).isValid());
    EXPECT_FALSE(log.data(log.index(1)).isValid());
    EXPECT_FALSE(log.data(QModelIndex()).isValid());
}

TEST(LogModel, AppendAnnouncesTheNewRowAndClearResets) {
    app::LogModel log('.');
    QSignalSpy inserted(&log, &QAbstractItemModel::rowsInserted);
    QSignalSpy reset(&log, &QAbstractItemModel::modelReset);
    log.append(1, 1);
    log.append(2, 2);
    ASSERT_EQ(inserted.count(), 2);
    EXPECT_EQ(inserted.at(1).at(1).toInt(), 1);
    EXPECT_EQ(inserted.at(1).at(2).toInt(), 1);

    log.clear();
    EXPECT_EQ(reset.count(), 1);
    EXPECT_EQ(log.count(), 0);
    EXPECT_EQ(log.rowCount(), 0);
    log.append(3, 3);
    EXPECT_EQ(log.line(0), "3        3");
}

TEST(LogModel, KeepsEveryReadingOfALongMeasurement) {
    app::LogModel log('.');
    constexpr int N = 200000;
    for (int i = 0; i < N; ++i) {
        log.append(i * 100.0, 10000000 + i * 0.5);
    }
    ASSERT_EQ(log.count(), N);
    EXPECT_EQ(log.line(0), "0        10000000");
    EXPECT_EQ(log.line(12345), "1234500        10006172.5");
    EXPECT_EQ(log.line(N - 1), "19999900        10099999.5");
}

// A gap is a row of its own, live and in a measurement read back; the readings keep their
// numbers and lines, and the export's count stays the readings'.
TEST(LogModel, AGapIsARowOfItsOwnAndTheReadingsKeepTheirLines) {
    using recording::GapCause;
    app::LogModel live(',');
    live.append(1000, 10000000.5);
    live.appendGap({1000, 3500, GapCause::Reconnect, 0});
    live.append(3500, 10000000.25);
    live.appendGap({3500, 3750, GapCause::LostTelegrams, 5});
    live.appendGap({3750, 4000, GapCause::LostTelegrams, 1});
    live.appendGap({4000, 4100, GapCause::LostTelegrams, 0});
    const std::vector<std::string> rows{"1000        10000000,5",
                                        "1000        gap of 2,5 s: the device was gone",
                                        "3500        10000000,25",
                                        "3500        gap of 0,25 s: 5 telegrams lost",
                                        "3750        gap of 0,25 s: 1 telegram lost",
                                        "4000        gap of 0,1 s: telegrams lost"};
    app::LogModel opened(',');
    auto read = std::make_shared<recording::ReadingStore>();
    read->append(1000, 10000000.5, analysis::Quantity::Frequency);
    read->appendGap({1000, 3500, GapCause::Reconnect, 0});
    read->append(3500, 10000000.25, analysis::Quantity::Frequency);
    read->appendGap({3500, 3750, GapCause::LostTelegrams, 5});
    read->appendGap({3750, 4000, GapCause::LostTelegrams, 1});
    read->appendGap({4000, 4100, GapCause::LostTelegrams, 0});
    QSignalSpy inserted(&opened, &QAbstractItemModel::rowsInserted);
    opened.show(read);
    ASSERT_EQ(inserted.count(), 1);
    EXPECT_EQ(inserted.at(0).at(2).toInt(), 5);
    for (const app::LogModel* log : {&live, &opened}) {
        ASSERT_EQ(log->rowCount(), 6);
        EXPECT_EQ(log->count(), 2);
        EXPECT_EQ(log->line(1), "3500        10000000,25");
        for (int row = 0; row < 6; ++row) {
            EXPECT_EQ(log->data(log->index(row)).toString().toStdString(), rows[row]) << row;
        }
    }
}

} // namespace
