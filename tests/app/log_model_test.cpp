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

} // namespace
