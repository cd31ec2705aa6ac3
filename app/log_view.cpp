// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/log_view.h"

#include "app/log_view_accessible.h"

#include <QAbstractItemModel>
#include <QAccessible>
#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyleOptionViewItem>
#include <algorithm>
#include <cstdint>
#include <cstdlib>

namespace app {

LogView::LogView(QWidget* parent) : QAbstractScrollArea(parent) {
    installLogViewAccessibility();
    setFocusPolicy(Qt::StrongFocus);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    verticalScrollBar()->setSingleStep(1);
    rowHeight_ = fontMetrics().height() + 2;
}

void LogView::setModel(QAbstractItemModel* model) {
    if (model_ != nullptr) {
        model_->disconnect(this);
    }
    model_ = model;
    connect(model_, &QAbstractItemModel::rowsInserted, this,
            [this](const QModelIndex&, int first, int last) { rowsAppended(first, last); });
    connect(model_, &QAbstractItemModel::modelReset, this, &LogView::reset);
    reset();
}

int LogView::rowCount() const {
    return model_ != nullptr ? model_->rowCount() : 0;
}

// Scrolled to its end, the list shows its last row whole at the bottom, and the top row may be
// cut; elsewhere the scroll position's row is the top row, whole.
std::int64_t LogView::contentTop() const {
    const QScrollBar& bar = *verticalScrollBar();
    if (bar.value() == bar.maximum() && bar.maximum() > 0) {
        return std::int64_t{rowCount()} * rowHeight_ - viewport()->height();
    }
    return std::int64_t{bar.value()} * rowHeight_;
}

int LogView::topRow() const {
    return static_cast<int>(contentTop() / rowHeight_);
}

int LogView::endOfVisibleRows() const {
    const std::int64_t bottom = contentTop() + viewport()->height();
    return static_cast<int>(
        std::min<std::int64_t>(rowCount(), (bottom + rowHeight_ - 1) / rowHeight_));
}

QRect LogView::rowRect(int row) const {
    if (row < topRow() || row >= endOfVisibleRows()) {
        return {};
    }
    const auto y = static_cast<int>(std::int64_t{row} * rowHeight_ - contentTop());
    return {0, y, viewport()->width(), rowHeight_};
}

int LogView::rowAt(int y) const {
    if (y < 0) {
        return -1;
    }
    const auto row = static_cast<int>((contentTop() + y) / rowHeight_);
    return row < rowCount() ? row : -1;
}

QString LogView::rowText(int row) const {
    return model_->index(row, 0).data().toString();
}

void LogView::selectRow(int row) {
    const int before = currentRow_;
    viewport()->update(rowRect(selectedRow_));
    selectedRow_ = std::clamp(row, -1, rowCount() - 1);
    currentRow_ = selectedRow_;
    if (currentRow_ >= 0) {
        const int top = verticalScrollBar()->value();
        if (currentRow_ < top) {
            verticalScrollBar()->setValue(currentRow_);
        } else if (currentRow_ >= top + fullyVisibleRows()) {
            verticalScrollBar()->setValue(currentRow_ - fullyVisibleRows() + 1);
        }
    }
    viewport()->update(rowRect(before));
    viewport()->update(rowRect(currentRow_));
    if (currentRow_ != before) {
        tellScreenReader(QAccessible::Selection);
        tellScreenReader(QAccessible::Focus);
    }
}

void LogView::scrollToRow(int row) {
    verticalScrollBar()->setValue(row);
}

// Today's item views paint a row as the style's row panel under the delegate's item; the same
// two calls with the same option give the same pixels.
void LogView::paintEvent(QPaintEvent* event) {
    if (model_ == nullptr) {
        return;
    }
    if (shownTop_ != contentTop()) {
        // Painted before the pending move: what this paint leaves out is stale, so all of it is
        // painted once more.
        shownTop_ = contentTop();
        if (event->rect() != viewport()->rect()) {
            viewport()->update();
        }
    }
    QPainter painter(viewport());
    const QStyleOptionViewItem base = rowOption();
    const int first = std::max(topRow(), rowAt(std::max(0, event->rect().top())));
    const int last = rowAt(event->rect().bottom());
    const int end = last >= 0 ? last + 1 : endOfVisibleRows();
    const bool focused = hasFocus() || viewport()->hasFocus();
    for (int row = first; row < end; ++row) {
        QStyleOptionViewItem option = base;
        option.rect = rowRect(row);
        if (row == selectedRow_) {
            option.state |= QStyle::State_Selected;
        }
        if (row == currentRow_ && focused) {
            option.state |= QStyle::State_HasFocus;
        }
        delegate_.paint(&painter, option, model_->index(row, 0));
    }
    // Without a current row in sight the list itself shows the focus, as keyboard users need to
    // see where they are.
    if (focused && (currentRow_ < topRow() || currentRow_ >= endOfVisibleRows())) {
        QStyleOptionFocusRect frame;
        frame.initFrom(this);
        frame.rect = viewport()->rect();
        frame.backgroundColor = palette().color(QPalette::Base);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &frame, &painter, this);
    }
}

// As an item view prepares the option of its items.
QStyleOptionViewItem LogView::rowOption() const {
    QStyleOptionViewItem option;
    option.initFrom(this);
    option.state &= ~(QStyle::State_MouseOver | QStyle::State_HasFocus);
    if (!hasFocus()) {
        option.state &= ~QStyle::State_Active;
    }
    option.font = font();
    const int icon = style()->pixelMetric(QStyle::PM_SmallIconSize, nullptr, this);
    option.decorationSize = QSize(icon, icon);
    option.decorationPosition = QStyleOptionViewItem::Left;
    option.decorationAlignment = Qt::AlignCenter;
    option.displayAlignment = Qt::AlignLeft | Qt::AlignVCenter;
    option.textElideMode = Qt::ElideRight;
    option.showDecorationSelected = true;
    option.locale = locale();
    option.locale.setNumberOptions(QLocale::OmitGroupSeparator);
    option.widget = this;
    if (option.state & QStyle::State_Enabled) {
        option.palette.setCurrentColorGroup(QPalette::Normal);
    }
    return option;
}

void LogView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    updateScrollRange();
    shownTop_ = contentTop(); // a resize paints everything anyway
}

void LogView::changeEvent(QEvent* event) {
    QAbstractScrollArea::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        rowHeight_ = fontMetrics().height() + 2;
        updateScrollRange();
        shownTop_ = contentTop();
        viewport()->update();
    }
}

void LogView::focusInEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusInEvent(event);
    if (currentRow_ < 0 && rowCount() > 0 && event->reason() != Qt::MouseFocusReason) {
        currentRow_ = 0;
    }
    viewport()->update();
}

void LogView::focusOutEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusOutEvent(event);
    viewport()->update();
}

void LogView::keyPressEvent(QKeyEvent* event) {
    if (event == QKeySequence::Copy) {
        if (currentRow_ >= 0) {
            QGuiApplication::clipboard()->setText(rowText(currentRow_));
        }
        return;
    }
    const int page = fullyVisibleRows();
    const int current = currentRow_;
    switch (event->key()) {
    case Qt::Key_Up:
        selectRow(std::max(0, current - 1));
        break;
    case Qt::Key_Down:
        selectRow(current + 1 < rowCount() ? current + 1 : current);
        break;
    case Qt::Key_PageUp:
        selectRow(std::max(0, current - page));
        break;
    case Qt::Key_PageDown:
        selectRow(std::min(rowCount() - 1, current + page));
        break;
    case Qt::Key_Home:
        selectRow(rowCount() > 0 ? 0 : -1);
        break;
    case Qt::Key_End:
        selectRow(rowCount() - 1);
        break;
    default:
        QAbstractScrollArea::keyPressEvent(event);
    }
}

void LogView::mousePressEvent(QMouseEvent* event) {
    setFocus(Qt::MouseFocusReason);
    selectAt(event->position().toPoint());
}

void LogView::mouseMoveEvent(QMouseEvent* event) {
    if (event->buttons() & Qt::LeftButton) {
        selectAt(event->position().toPoint());
    }
}

void LogView::selectAt(const QPoint& at) {
    const int row = rowAt(at.y());
    if (row >= 0) {
        selectRow(row);
    }
}

void LogView::scrollContentsBy(int, int) {
    catchUpLater();
}

void LogView::rowsAppended(int first, int last) {
    if (first < endOfVisibleRows() && last >= topRow()) {
        const int y = first > topRow() ? rowRect(first).top() : 0;
        viewport()->update(0, y, viewport()->width(), viewport()->height() - y);
    }
    catchUpLater();
}

// The scroll bar and the shown pixels follow the rows once per turn of the event loop, however
// many rows came: a burst of readings costs one range change and one move.
void LogView::catchUpLater() {
    if (catchUpPending_) {
        return;
    }
    catchUpPending_ = true;
    QMetaObject::invokeMethod(this, &LogView::catchUp, Qt::QueuedConnection);
}

// A list scrolled to its end stays there as rows come, like the tail of a file. What is shown
// moves by as many pixels as the list moved, so only the rows that come into sight are painted.
void LogView::catchUp() {
    catchUpPending_ = false;
    const QScrollBar& bar = *verticalScrollBar();
    const bool atEnd = bar.value() == bar.maximum();
    updateScrollRange();
    if (atEnd) {
        verticalScrollBar()->setValue(bar.maximum());
    }
    const std::int64_t moved = shownTop_ - contentTop();
    shownTop_ = contentTop();
    if (moved == 0) {
        return;
    }
    if (std::abs(moved) < viewport()->height()) {
        viewport()->scroll(0, static_cast<int>(moved));
    } else {
        viewport()->update();
    }
    tellScreenReader(QAccessible::VisibleDataChanged);
}

void LogView::reset() {
    selectedRow_ = -1;
    currentRow_ = -1;
    updateScrollRange();
    verticalScrollBar()->setValue(0);
    shownTop_ = contentTop();
    viewport()->update();
    tellScreenReader(QAccessible::VisibleDataChanged);
}

int LogView::fullyVisibleRows() const {
    return std::max(1, viewport()->height() / rowHeight_);
}

// Scrolling by whole rows: the last position shows the last row at the bottom.
void LogView::updateScrollRange() {
    const int page = fullyVisibleRows();
    verticalScrollBar()->setPageStep(page);
    verticalScrollBar()->setRange(0, std::max(0, rowCount() - page));
}

void LogView::tellScreenReader(QAccessible::Event event) {
    if (!QAccessible::isActive()) {
        return;
    }
    QAccessibleEvent update(this, event);
    if (event != QAccessible::VisibleDataChanged) {
        if (currentRow_ < topRow() || currentRow_ >= endOfVisibleRows()) {
            return;
        }
        update.setChild(currentRow_ - topRow());
    }
    QAccessible::updateAccessibility(&update);
}

} // namespace app
