// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/log_view_accessible.h"

#include "app/log_view.h"

#include <QAccessibleWidget>
#include <QPointer>
#include <map>

namespace app {
namespace {

// One row of the log; it reads the view each time, so it stays right while the log grows.
class RowAccessible : public QAccessibleInterface {
public:
    RowAccessible(LogView* view, int row) : view_(view), row_(row) {}

    bool isValid() const override { return view_ != nullptr && row_ < view_->rowCount(); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return parent() ? parent()->window() : nullptr; }
    QAccessibleInterface* parent() const override {
        return QAccessible::queryAccessibleInterface(view_.data());
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessibleInterface* focusChild() const override { return nullptr; }
    QAccessible::Role role() const override { return QAccessible::ListItem; }

    QString text(QAccessible::Text t) const override {
        return t == QAccessible::Name && isValid() ? view_->rowText(row_) : QString();
    }
    void setText(QAccessible::Text, const QString&) override {}

    QRect rect() const override {
        if (!isValid()) {
            return {};
        }
        const QRect at = view_->rowRect(row_);
        return at.isEmpty() ? QRect()
                            : QRect(view_->viewport()->mapToGlobal(at.topLeft()), at.size());
    }

    QAccessible::State state() const override {
        QAccessible::State state;
        state.selectable = true;
        state.focusable = true;
        if (!isValid()) {
            state.invalid = true;
            return state;
        }
        state.selected = view_->selectedRow() == row_;
        state.focused = view_->currentRow() == row_ && view_->hasFocus();
        state.invisible = view_->rowRect(row_).isEmpty();
        state.offscreen = state.invisible;
        return state;
    }

    int row() const { return row_; }

private:
    QPointer<LogView> view_;
    int row_;
};

// The view as a list of the rows in sight. Row interfaces are made when asked for and kept
// for the rows in sight only, so scrolling through millions of lines leaves few behind.
class LogViewAccessible : public QAccessibleWidget {
public:
    explicit LogViewAccessible(LogView* view) : QAccessibleWidget(view, QAccessible::List) {}
    ~LogViewAccessible() override {
        for (const auto& [row, id] : rows_) {
            QAccessible::deleteAccessibleInterface(id);
        }
    }

    int childCount() const override { return view()->endOfVisibleRows() - view()->topRow(); }

    QAccessibleInterface* child(int index) const override {
        if (index < 0 || index >= childCount()) {
            return nullptr;
        }
        const int row = view()->topRow() + index;
        if (const auto known = rows_.find(row); known != rows_.end()) {
            return QAccessible::accessibleInterface(known->second);
        }
        forgetRowsOutOfSight();
        auto* made = new RowAccessible(view(), row);
        rows_.emplace(row, QAccessible::registerAccessibleInterface(made));
        return made;
    }

    int indexOfChild(const QAccessibleInterface* child) const override {
        const auto* row = dynamic_cast<const RowAccessible*>(child);
        if (row == nullptr || row->parent() != this) {
            return -1;
        }
        const int index = row->row() - view()->topRow();
        return index >= 0 && index < childCount() ? index : -1;
    }

    QAccessibleInterface* childAt(int x, int y) const override {
        const QPoint at = view()->viewport()->mapFromGlobal(QPoint(x, y));
        if (!view()->viewport()->rect().contains(at)) {
            return nullptr;
        }
        const int row = view()->rowAt(at.y());
        return row >= 0 ? child(row - view()->topRow()) : nullptr;
    }

    QAccessibleInterface* focusChild() const override {
        const int row = view()->currentRow();
        if (!view()->hasFocus() || row < 0) {
            return nullptr;
        }
        return child(row - view()->topRow());
    }

private:
    LogView* view() const { return static_cast<LogView*>(widget()); }

    void forgetRowsOutOfSight() const {
        for (auto at = rows_.begin(); at != rows_.end();) {
            if (view()->rowRect(at->first).isEmpty()) {
                QAccessible::deleteAccessibleInterface(at->second);
                at = rows_.erase(at);
            } else {
                ++at;
            }
        }
    }

    mutable std::map<int, QAccessible::Id> rows_;
};

QAccessibleInterface* logViewFactory(const QString&, QObject* object) {
    if (auto* view = qobject_cast<LogView*>(object)) {
        return new LogViewAccessible(view);
    }
    return nullptr;
}

} // namespace

void installLogViewAccessibility() {
    static const bool installed = [] {
        QAccessible::installFactory(logViewFactory);
        return true;
    }();
    (void)installed;
}

} // namespace app
