#include "app/log_model.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

namespace {

TEST(TLogModel, MakesEachLineFromItsReading) {
    app::TLogModel log('.');
    log.Append(2000, 10000000.5);
    log.Append(2500, 1.5e-6);
    log.Append(1e16, -0.25);
    ASSERT_EQ(log.Count(), 3);
    EXPECT_EQ(log.Line(0), "2000        10000000.5");
    EXPECT_EQ(log.Line(1), "2500        1.5E-6");
    EXPECT_EQ(log.Line(2), "1E16        -0.25");
    EXPECT_THROW(log.Line(3), std::out_of_range);
}

TEST(TLogModel, ViewsSeeTheSameTextAsLatin1) {
    app::TLogModel log(',');
    log.Append(2000, 10000000.5);
    EXPECT_EQ(log.rowCount(), 1);
    EXPECT_EQ(log.rowCount(log.index(0)), 0); // a flat list: rows have no children
    EXPECT_EQ(log.data(log.index(0)).toString(), QString("2000        10000000,5"));
    EXPECT_FALSE(log.data(log.index(0), Qt::DecorationRole).isValid());
    EXPECT_FALSE(log.data(log.index(1)).isValid());
    EXPECT_FALSE(log.data(QModelIndex()).isValid());
}

TEST(TLogModel, AppendAnnouncesTheNewRowAndClearResets) {
    app::TLogModel log('.');
    QSignalSpy inserted(&log, &QAbstractItemModel::rowsInserted);
    QSignalSpy reset(&log, &QAbstractItemModel::modelReset);
    log.Append(1, 1);
    log.Append(2, 2);
    ASSERT_EQ(inserted.count(), 2);
    EXPECT_EQ(inserted.at(1).at(1).toInt(), 1);
    EXPECT_EQ(inserted.at(1).at(2).toInt(), 1);

    log.Clear();
    EXPECT_EQ(reset.count(), 1);
    EXPECT_EQ(log.Count(), 0);
    EXPECT_EQ(log.rowCount(), 0);
    log.Append(3, 3);
    EXPECT_EQ(log.Line(0), "3        3");
}

TEST(TLogModel, KeepsEveryReadingOfALongMeasurement) {
    app::TLogModel log('.');
    constexpr int N = 200000;
    for (int i = 0; i < N; ++i) {
        log.Append(i * 100.0, 10000000 + i * 0.5);
    }
    ASSERT_EQ(log.Count(), N);
    EXPECT_EQ(log.Line(0), "0        10000000");
    EXPECT_EQ(log.Line(12345), "1234500        10006172.5");
    EXPECT_EQ(log.Line(N - 1), "19999900        10099999.5");
}

} // namespace
