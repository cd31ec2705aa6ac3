// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/dynamic_page.h"

#include "analysis/dynamic_window.h"
#include "app/dynamic_plot.h"
#include "app/popup_menu.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QTimer>
#include <algorithm>
#include <array>
#include <cmath>

namespace app {
namespace {
// Readings fed per turn of the event loop: well under a screen refresh at a microsecond each.
constexpr std::size_t kSliceReadings = 8192;

struct Choice {
    std::size_t value;
    const char* caption;
};
constexpr std::array<Choice, 4> kWindowChoices{
    Choice{20, "1/20 of the run"}, Choice{10, "1/10 of the run"}, Choice{5, "1/5 of the run"},
    Choice{3, "1/3 of the run"}};
constexpr std::array<Choice, 3> kStepChoices{Choice{50, "50 steps over the run"},
                                             Choice{100, "100 steps over the run"},
                                             Choice{200, "200 steps over the run"}};

struct TimeUnit {
    double seconds;
    const char* caption;
};

// The unit of the time axis for a run this long.
TimeUnit timeUnitFor(double spanSeconds) {
    if (spanSeconds > 2 * 86400.0) {
        return {86400.0, "window middle/d"};
    }
    if (spanSeconds > 2 * 3600.0) {
        return {3600.0, "window middle/h"};
    }
    if (spanSeconds > 2 * 60.0) {
        return {60.0, "window middle/min"};
    }
    return {1.0, "window middle/s"};
}

const std::vector<analysis::DynamicColumn> kNoColumns;

} // namespace

DynamicPage::DynamicPage(QWidget* parent)
    : Page(parent), readings_(std::make_shared<recording::ReadingTable>()),
      plot_(new DynamicPlot(this)), menu_(new QMenu(this)), workTimer_(new QTimer(this)) {
    workTimer_->setSingleShot(true);
    workTimer_->setInterval(0);
    connect(workTimer_, &QTimer::timeout, this, &DynamicPage::work);
    buildMenu();
    for (QWidget* widget : std::initializer_list<QWidget*>{plot_, this}) {
        attachPopup(widget, menu_);
    }
    showPicture();
}

DynamicPage::~DynamicPage() = default;

void DynamicPage::buildMenu() {
    const auto addChoices = [this](const char* caption, const auto& choices, std::size_t& target) {
        QMenu* sub = addSubMenu(menu_, caption);
        auto* group = new QActionGroup(sub);
        for (const Choice& choice : choices) {
            QAction* action = addMenuEntry(sub, choice.caption);
            action->setCheckable(true);
            action->setChecked(choice.value == target);
            group->addAction(action);
            connect(action, &QAction::triggered, this, [this, &target, value = choice.value] {
                target = value;
                restart();
            });
        }
    };
    addChoices("Window", kWindowChoices, divisor_);
    addChoices("Step", kStepChoices, steps_);
    menu_->addSeparator();
    connect(addMenuEntry(menu_, "Connect/Disconnect"), &QAction::triggered, this,
            &DynamicPage::connectToggleRequested);
}

const std::vector<analysis::DynamicColumn>& DynamicPage::shownColumns() const {
    return shown_ ? shown_->columns() : kNoColumns;
}

void DynamicPage::follow(std::shared_ptr<const recording::ReadingTable> readings) {
    readings_ = std::move(readings);
    shown_.reset();
    restart();
    showPicture();
}

void DynamicPage::readingsAdded() {
    workSoon();
}

// A new analysis, sized at the next turn; the picture on screen stays until it has caught up.
void DynamicPage::restart() {
    analysis_.reset();
    fed_ = 0;
    sizedFor_ = 0;
    workSoon();
}

void DynamicPage::workSoon() {
    if (isVisible() && !workTimer_->isActive()) {
        workTimer_->start();
    }
}

void DynamicPage::showEvent(QShowEvent* event) {
    Page::showEvent(event);
    workSoon();
}

void DynamicPage::work() {
    if (!isVisible()) {
        return;
    }
    const recording::ReadingTable& readings = *readings_;
    const std::size_t count = readings.size();
    if (!analysis_ || count >= 2 * sizedFor_) {
        const analysis::DynamicWindow size = analysis::dynamicWindow(count, divisor_, steps_);
        analysis_ = std::make_shared<analysis::DynamicAllan>(size.window, size.step);
        sizedFor_ = std::max<std::size_t>(1, count);
        fed_ = 0;
    }
    const std::size_t end = std::min(count, fed_ + kSliceReadings);
    // No window's term spans a gap the recording knows of.
    const std::vector<recording::PlacedGap>& gaps = readings.gaps();
    auto gap = std::lower_bound(gaps.begin(), gaps.end(), fed_,
                                [](const recording::PlacedGap& placed, std::size_t reading) {
                                    return placed.beforeReading < reading;
                                });
    for (; fed_ < end; ++fed_) {
        bool gapBefore = false;
        for (; gap != gaps.end() && gap->beforeReading == fed_; ++gap) {
            gapBefore = true;
        }
        analysis_->add(readings.timeMs(fed_), readings.value(fed_), readings.quantity(fed_),
                       gapBefore);
    }
    if (fed_ < count) {
        workTimer_->start();
        return;
    }
    if (shown_ != analysis_ || shown_->columns().size() != shownColumns_) {
        shown_ = analysis_;
        showPicture();
    }
}

void DynamicPage::showPicture() {
    const std::vector<analysis::DynamicColumn>& columns = shownColumns();
    shownColumns_ = columns.size();
    const double spanSeconds =
        columns.size() > 1 ? (columns.back().timeMs - columns.front().timeMs) / 1000.0 : 0.0;
    const TimeUnit unit = timeUnitFor(spanSeconds);
    std::vector<plot::HeatColumn> cells;
    cells.reserve(columns.size());
    for (const analysis::DynamicColumn& column : columns) {
        plot::HeatColumn& heat = cells.emplace_back();
        heat.x = column.timeMs / 1000.0 / unit.seconds;
        for (const analysis::DynamicPoint& point : column.points) {
            if (point.value > 0) {
                heat.cells.push_back({point.tau, std::log10(point.value)});
            }
        }
    }
    plot_->showColumns(std::move(cells),
                       {.xCaption = unit.caption, .yCaption = "tau/s", .scaleCaption = "ADEV"});
}

void DynamicPage::layOut() {
    plot_->setGeometry(0, 0, width(), height());
}

} // namespace app
