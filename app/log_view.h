// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAbstractScrollArea>
#include <QAccessible>
#include <QStyledItemDelegate>
#include <cstdint>

class QAbstractItemModel;
class QStyleOptionViewItem;

namespace app {

// The measurement log as a list of one-line rows, all of one height. It paints, hit-tests and
// scrolls by arithmetic on the row height and keeps nothing per row, so appending a line costs
// the same with ten lines as with ten million. The model is a log: rows are appended at its end
// or all of them reset, never inserted in between or removed one by one.
//
// As in an item view: one row at a time is selected, by mouse or keyboard (arrows, page keys,
// Home and End), and the current row carries the focus frame and is what Ctrl+C copies. Taking
// the focus from the keyboard makes the first row current without selecting it. The list scrolls
// by whole rows.
class LogView : public QAbstractScrollArea {
    Q_OBJECT
public:
    explicit LogView(QWidget* parent = nullptr);

    void setModel(QAbstractItemModel* model);
    QAbstractItemModel* model() const { return model_; }

    int rowCount() const;
    int rowHeight() const { return rowHeight_; }
    // The row shown at the top, maybe cut.
    int topRow() const;
    // The rows at least partly in sight: topRow() up to but not including the returned one.
    int endOfVisibleRows() const;
    // Where `row` is, in viewport coordinates; empty for a row out of sight.
    QRect rowRect(int row) const;
    // The row under the viewport's y; -1 below the last row.
    int rowAt(int y) const;
    QString rowText(int row) const;

    // The selected row; -1 when none.
    int selectedRow() const { return selectedRow_; }
    // The row with the focus frame; -1 when none.
    int currentRow() const { return currentRow_; }
    // Makes `row` current and selected (-1: none) and scrolls as little as needed to show it.
    void selectRow(int row);
    // Shows `row` at the top, or as near the top as the end of the list allows: at the end, the
    // last row shows whole at the bottom.
    void scrollToRow(int row);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    void rowsAppended(int first, int last);
    void reset();
    void updateScrollRange();
    void catchUpLater();
    void catchUp();
    int fullyVisibleRows() const;
    std::int64_t contentTop() const; // the viewport's top in the list, in pixels
    QStyleOptionViewItem rowOption() const;
    void selectAt(const QPoint& at);
    void tellScreenReader(QAccessible::Event event);

    QAbstractItemModel* model_ = nullptr;
    QStyledItemDelegate delegate_; // paints a row exactly as an item view would
    int rowHeight_ = 1;
    int selectedRow_ = -1;
    int currentRow_ = -1;
    std::int64_t shownTop_ = 0; // contentTop() as the viewport shows it
    bool catchUpPending_ = false;
};

} // namespace app
