// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/stability_page.h"

#include "analysis/deviation_table.h"
#include "analysis/span_statistics.h"
#include "app/popup_menu.h"
#include "app/stability_caption.h"
#include "app/stability_plot.h"

#include <QActionGroup>
#include <QClipboard>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QScrollBar>
#include <QTableWidget>
#include <QTimer>
#include <algorithm>

namespace app {
namespace {

analysis::Quantity analysisQuantity(counter::Quantity quantity) {
    switch (quantity) {
    case counter::Quantity::Frequency:
        return analysis::Quantity::Frequency;
    case counter::Quantity::Period:
        return analysis::Quantity::Period;
    case counter::Quantity::Phase:
        break;
    }
    return analysis::Quantity::Phase;
}

// A few refreshes a second: the noise identification and drift take time in proportion to the
// readings, the running sums do not.
constexpr int kRefreshIntervalMs = 250;
// Room around a cell's text in pixels.
constexpr int kCellPadding = 6;

struct KindEntry {
    analysis::Deviation kind;
    const char* caption;
};
constexpr std::array<KindEntry, 4> kKindEntries{
    KindEntry{analysis::Deviation::Allan, "Allan deviation"},
    KindEntry{analysis::Deviation::ModifiedAllan, "Modified Allan deviation"},
    KindEntry{analysis::Deviation::Hadamard, "Hadamard deviation"},
    KindEntry{analysis::Deviation::Time, "Time deviation"},
};

const QStringList kColumns{"dev.", "tau/s", "terms", "deviation", "lower", "upper"};

QString upperShortName(analysis::Deviation kind) {
    return QString::fromLatin1(analysis::shortName(kind)).toUpper();
}

void setCell(QTableWidget* table, int row, int column, const QString& text) {
    if (QTableWidgetItem* item = table->item(row, column)) {
        item->setText(text);
        return;
    }
    auto* item = new QTableWidgetItem(text);
    item->setTextAlignment(column == 0 ? Qt::AlignLeft | Qt::AlignVCenter
                                       : Qt::AlignRight | Qt::AlignVCenter);
    table->setItem(row, column, item);
}

QAction* addChoice(QMenu* menu, const char* caption, bool checked, QActionGroup* group = nullptr) {
    QAction* action = addMenuEntry(menu, caption);
    action->setCheckable(true);
    action->setChecked(checked);
    if (group != nullptr) {
        group->addAction(action);
    }
    return action;
}

} // namespace

StabilityPage::StabilityPage(std::function<TimeSpan()> graphSpan, QWidget* parent)
    : Page(parent), graphSpan_(std::move(graphSpan)), plot_(new StabilityPlot(this)),
      table_(new QTableWidget(0, static_cast<int>(kColumns.size()), this)),
      caption_(new QLabel(this)), menu_(new QMenu(this)), refreshTimer_(new QTimer(this)) {
    table_->setHorizontalHeaderLabels(kColumns);
    table_->verticalHeader()->hide();
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->verticalHeader()->setDefaultSectionSize(QFontMetrics(table_->font()).height() + 4);
    table_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    table_->horizontalHeader()->setStretchLastSection(true);
    refreshTimer_->setSingleShot(true);
    refreshTimer_->setInterval(kRefreshIntervalMs);
    connect(refreshTimer_, &QTimer::timeout, this, [this] {
        if (isVisible()) {
            refresh();
        }
    });
    buildMenu();
    for (QWidget* widget : std::initializer_list<QWidget*>{plot_, table_, caption_, this}) {
        attachPopup(widget, menu_);
    }
    refresh();
}

StabilityPage::~StabilityPage() = default;

void StabilityPage::buildMenu() {
    QMenu* kinds = addSubMenu(menu_, "Deviations");
    for (const KindEntry& entry : kKindEntries) {
        const bool shown = std::ranges::find(kinds_, entry.kind) != kinds_.end();
        QAction* action = addChoice(kinds, entry.caption, shown);
        connect(action, &QAction::toggled, this, [this, entry](bool on) {
            choose([this, entry, on] {
                std::erase(kinds_, entry.kind);
                if (on) {
                    kinds_.push_back(entry.kind);
                    std::ranges::sort(kinds_);
                }
            });
        });
    }
    QMenu* spacing = addSubMenu(menu_, "Tau spacing");
    auto* spacingGroup = new QActionGroup(spacing);
    connect(addChoice(spacing, "Octave (1, 2, 4, 8, ...)", true, spacingGroup), &QAction::triggered,
            this, [this] { choose([this] { spacing_ = analysis::TauSpacing::Octave; }); });
    connect(addChoice(spacing, "1-2-5 per decade", false, spacingGroup), &QAction::triggered, this,
            [this] { choose([this] { spacing_ = analysis::TauSpacing::OneTwoFive; }); });
    connect(addChoice(menu_, "Remove drift", false), &QAction::toggled, this,
            [this](bool on) { choose([this, on] { removeDrift_ = on; }); });
    QMenu* span = addSubMenu(menu_, "Span");
    auto* spanGroup = new QActionGroup(span);
    connect(addChoice(span, "Whole measurement", true, spanGroup), &QAction::triggered, this,
            [this] { choose([this] { span_ = StabilitySpan::WholeMeasurement; }); });
    connect(addChoice(span, "Zoomed span of the graph", false, spanGroup), &QAction::triggered,
            this, [this] { choose([this] { span_ = StabilitySpan::GraphZoom; }); });
    menu_->addSeparator();
    connect(addMenuEntry(menu_, "Copy table"), &QAction::triggered, this,
            &StabilityPage::copyTable);
    menu_->addSeparator();
    connect(addMenuEntry(menu_, "Connect/Disconnect"), &QAction::triggered, this,
            &StabilityPage::connectToggleRequested);
}

// A choice shows at once.
void StabilityPage::choose(const std::function<void()>& change) {
    change();
    refresh();
}

void StabilityPage::clear() {
    live_.reset();
    readings_.clear();
    readings_.shrink_to_fit();
    refreshSoon();
}

void StabilityPage::addReading(double timeMs, double value, counter::Quantity quantity,
                               bool gapBefore) {
    const analysis::Quantity kind = analysisQuantity(quantity);
    live_.add(timeMs, value, kind, gapBefore);
    readings_.push_back({timeMs, value, kind, gapBefore});
    refreshSoon();
}

void StabilityPage::showMeasurement(std::span<const recording::MeasurementPoint> readings,
                                    counter::Quantity quantity,
                                    std::span<const recording::PlacedGap> gaps) {
    const analysis::Quantity kind = analysisQuantity(quantity);
    live_.reset();
    readings_.clear();
    readings_.reserve(readings.size());
    auto gap = gaps.begin();
    for (std::size_t i = 0; i < readings.size(); ++i) {
        bool gapBefore = false;
        for (; gap != gaps.end() && gap->beforeReading == i; ++gap) {
            gapBefore = true;
        }
        live_.add(readings[i].timeMs, readings[i].value, kind, gapBefore);
        readings_.push_back({readings[i].timeMs, readings[i].value, kind, gapBefore});
    }
    refreshSoon();
}

// Hidden, the page only notes that it is behind; it catches up when it shows.
void StabilityPage::refreshSoon() {
    stale_ = true;
    if (isVisible() && !refreshTimer_->isActive()) {
        refreshTimer_->start();
    }
}

void StabilityPage::showEvent(QShowEvent* event) {
    Page::showEvent(event);
    // The graph's zoom may have changed meanwhile.
    if (stale_ || span_ == StabilitySpan::GraphZoom) {
        refresh();
    }
}

analysis::StabilityOptions StabilityPage::options() const {
    analysis::StabilityOptions options;
    options.spacing = spacing_;
    options.kinds = kinds_;
    options.removeDrift = removeDrift_;
    return options;
}

// The readings come in time order, so a span of time is a run of them.
std::span<const analysis::Reading> StabilityPage::spanReadings() const {
    const std::span<const analysis::Reading> all(readings_);
    if (span_ == StabilitySpan::WholeMeasurement) {
        return all;
    }
    const TimeSpan shown = graphSpan_();
    const auto first = std::ranges::lower_bound(
        all, shown.fromSeconds * 1000, {}, [](const analysis::Reading& r) { return r.timeMs; });
    const auto last = std::ranges::upper_bound(all, shown.toSeconds * 1000, {},
                                               [](const analysis::Reading& r) { return r.timeMs; });
    return first < last ? std::span(first, last) : std::span<const analysis::Reading>{};
}

void StabilityPage::refresh() {
    stale_ = false;
    refreshTimer_->stop();
    const std::span<const analysis::Reading> readings = spanReadings();
    shown_ = span_ == StabilitySpan::WholeMeasurement
                 ? live_.result(options())
                 : analysis::analyzeReadings(readings, options());
    showResult(analysis::spanStatistics(readings).driftPerSecond);
}

void StabilityPage::showResult(double driftPerSecond) {
    plot_->showPoints(shown_.points);
    const int rows = static_cast<int>(shown_.points.size());
    table_->setRowCount(rows);
    for (int row = 0; row < rows; ++row) {
        const analysis::DeviationPoint& point = shown_.points[static_cast<std::size_t>(row)];
        const analysis::DeviationCells cells = analysis::deviationCells(point);
        setCell(table_, row, 0, upperShortName(point.kind));
        int column = 1;
        for (const std::string* cell :
             {&cells.tau, &cells.terms, &cells.value, &cells.lower, &cells.upper}) {
            setCell(table_, row, column++, QString::fromStdString(*cell));
        }
    }
    caption_->setText(QString::fromUtf8(stabilityCaption(shown_, driftPerSecond, removeDrift_)));
}

void StabilityPage::copyTable() {
    QGuiApplication::clipboard()->setText(
        QString::fromUtf8(analysis::deviationTable(shown_.points)));
}

// The table is as wide as its columns need for the widest numbers, up to half the page; the plot
// takes the rest above the caption line.
int StabilityPage::neededTableWidth() const {
    const QFontMetrics metrics(table_->font());
    int width = 2 * table_->frameWidth() + table_->verticalScrollBar()->sizeHint().width();
    for (const char* widest :
         {"HDEV", "0.10234", "1000000", "9.9999e-10", "9.9999e-10", "9.9999e-10"}) {
        width += metrics.horizontalAdvance(QString::fromLatin1(widest)) + kCellPadding;
    }
    return width;
}

void StabilityPage::layOut() {
    const int captionHeight = QFontMetrics(caption_->font()).height() + 4;
    const int bodyHeight = std::max(0, height() - captionHeight);
    // The table gets the width its columns need while the plot keeps a third of the page.
    const int tableWidth = std::min(width() - width() / 3, neededTableWidth());
    plot_->setGeometry(0, 0, width() - tableWidth, bodyHeight);
    table_->setGeometry(width() - tableWidth, 0, tableWidth, bodyHeight);
    caption_->setGeometry(4, bodyHeight, std::max(0, width() - 8), captionHeight);
}

} // namespace app
