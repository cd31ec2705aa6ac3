// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/log_model.h"
#include "app/log_view.h"
#include "app/widget_style.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QFontMetrics>
#include <QHeaderView>
#include <QScreen>
#include <QScrollBar>
#include <QTableView>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

namespace {

constexpr QSize kSize(400, 130);

void fill(app::LogModel& log, int lines) {
    for (int i = 0; i < lines; ++i) {
        log.append(i * 250.0, 10000000.5 + i);
    }
}

// The log as it was shown before: a one-column table without headers or grid.
std::unique_ptr<QTableView> tableAsBefore(app::LogModel& log) {
    auto view = std::make_unique<QTableView>();
    view->setModel(&log);
    view->setFont(app::listFont());
    app::setTextColour(view.get(), Qt::blue);
    view->setShowGrid(false);
    view->setWordWrap(false);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->horizontalHeader()->hide();
    view->horizontalHeader()->setStretchLastSection(true);
    view->verticalHeader()->hide();
    view->verticalHeader()->setMinimumSectionSize(1);
    view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view->verticalHeader()->setDefaultSectionSize(QFontMetrics(view->font()).height() + 2);
    return view;
}

std::unique_ptr<app::LogView> logView(app::LogModel& log) {
    auto view = std::make_unique<app::LogView>();
    view->setFont(app::listFont());
    app::setTextColour(view.get(), Qt::blue);
    view->setModel(&log);
    return view;
}

// Shown in a window of its own, which is active and gives it the focus when asked to.
void show(QWidget& widget, bool focused) {
    widget.resize(kSize);
    widget.show();
    widget.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&widget));
    if (focused) {
        widget.setFocus();
    } else {
        widget.clearFocus();
    }
}

// What the window shows: the pixels as painted, scrolled and flushed, not a fresh rendering.
QImage onScreen(QWidget& widget) {
    QApplication::processEvents();
    return widget.screen()->grabWindow(widget.winId()).toImage();
}

struct LookCase {
    const char* name;
    int lines;
    int selected; // -1: none
    bool focused;
    int appendedWhileShown; // each followed by a scroll to the newest and a repaint
};

TEST(LogView, LooksPixelForPixelLikeTheTableItReplaces) {
    for (const LookCase& look :
         {LookCase{"empty", 0, -1, false, 0}, LookCase{"few lines", 3, -1, true, 0},
          LookCase{"one selected", 3, 1, false, 0},
          LookCase{"one selected, focused", 3, 1, true, 0},
          LookCase{"following the newest", 3, 1, true, 40}}) {
        SCOPED_TRACE(look.name);
        // Each in turn, so that each is in the active window while it is drawn.
        app::LogModel before('.');
        fill(before, look.lines);
        auto table = tableAsBefore(before);
        show(*table, look.focused);
        if (look.selected >= 0) {
            table->selectRow(look.selected);
        }
        onScreen(*table);
        for (int i = 0; i < look.appendedWhileShown; ++i) {
            before.append((look.lines + i) * 250.0, 10000000.5 + look.lines + i);
            // The table takes in new rows late; scrolled before that, it leaves the newest row
            // cut at the bottom. Its look once settled is the one to keep.
            onScreen(*table);
            table->scrollTo(before.index(before.count() - 1), QAbstractItemView::PositionAtTop);
            onScreen(*table);
        }
        const QImage expected = onScreen(*table);
        table.reset();

        app::LogModel after('.');
        fill(after, look.lines);
        auto view = logView(after);
        show(*view, look.focused);
        if (look.selected >= 0) {
            view->selectRow(look.selected);
        }
        onScreen(*view);
        for (int i = 0; i < look.appendedWhileShown; ++i) {
            after.append((look.lines + i) * 250.0, 10000000.5 + look.lines + i);
            view->scrollToRow(after.count() - 1);
            onScreen(*view);
        }
        EXPECT_EQ(onScreen(*view), expected);
    }
}

TEST(LogView, FollowsTheGrowingLogAndForgetsItOnReset) {
    app::LogModel log('.');
    auto view = logView(log);
    show(*view, true);
    const int page = view->viewport()->height() / view->rowHeight();
    fill(log, 1000);
    QApplication::processEvents(); // the view takes in rows once per turn
    view->selectRow(2);
    view->scrollToRow(log.count() - 1);
    // The newest line whole at the bottom.
    EXPECT_EQ(view->rowRect(log.count() - 1).bottom(), view->viewport()->rect().bottom());
    EXPECT_EQ(view->rowAt(view->viewport()->height() - 1), log.count() - 1);
    log.append(1, 1);
    QApplication::processEvents();
    EXPECT_EQ(view->verticalScrollBar()->maximum(), log.count() - page);
    EXPECT_EQ(view->rowAt(view->viewport()->height() - 1), log.count() - 1); // still at the end
    EXPECT_EQ(view->selectedRow(), 2);
    log.clear();
    EXPECT_EQ(view->selectedRow(), -1);
    EXPECT_EQ(view->topRow(), 0);
    EXPECT_EQ(view->rowAt(0), -1);
}

TEST(LogView, KeysAndMouseSelectAndCtrlCCopiesTheLine) {
    app::LogModel log('.');
    fill(log, 100);
    auto view = logView(log);
    show(*view, true);
    const int page = view->viewport()->height() / view->rowHeight();
    struct Step {
        int key;
        int selected;
        int top;
    };
    view->selectRow(0);
    for (const Step& step : {Step{Qt::Key_Down, 1, 0}, Step{Qt::Key_PageDown, 1 + page, 2},
                             Step{Qt::Key_End, 99, 100 - page}, Step{Qt::Key_Up, 98, 100 - page},
                             Step{Qt::Key_PageUp, 98 - page, 98 - page}, Step{Qt::Key_Home, 0, 0},
                             Step{Qt::Key_Up, 0, 0}}) {
        QTest::keyClick(view.get(), static_cast<Qt::Key>(step.key));
        EXPECT_EQ(view->selectedRow(), step.selected) << step.key;
        EXPECT_EQ(view->verticalScrollBar()->value(), step.top) << step.key;
    }
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->rowRect(3).center());
    EXPECT_EQ(view->selectedRow(), 3);

    QApplication::clipboard()->clear();
    QTest::keyClick(view.get(), Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), "750        10000003.5");
}

TEST(LogView, AScreenReaderReadsTheRowsInSight) {
    app::LogModel log('.');
    fill(log, 100);
    auto view = logView(log);
    show(*view, true);
    view->scrollToRow(40);
    view->selectRow(41);
    QAccessibleInterface* list = QAccessible::queryAccessibleInterface(view.get());
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->role(), QAccessible::List);
    ASSERT_EQ(list->childCount(), view->endOfVisibleRows() - 40);
    QAccessibleInterface* second = list->child(1);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->role(), QAccessible::ListItem);
    EXPECT_EQ(second->text(QAccessible::Name), "10250        10000041.5");
    EXPECT_TRUE(second->state().selected);
    EXPECT_FALSE(list->child(0)->state().selected);
    EXPECT_EQ(list->indexOfChild(second), 1);
    const QPoint inSecond = view->viewport()->mapToGlobal(view->rowRect(41).center());
    EXPECT_EQ(list->childAt(inSecond.x(), inSecond.y()), second);
    EXPECT_EQ(second->rect().center(), inSecond);

    view->scrollToRow(0); // the rows in sight change, and the children with them
    EXPECT_EQ(list->child(1)->text(QAccessible::Name), "250        10000001.5");
    EXPECT_EQ(list->child(list->childCount()), nullptr);
}

} // namespace
