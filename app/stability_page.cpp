// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/stability_page.h"

#include "analysis/deviation_table.h"
#include "analysis/span_statistics.h"
#include "app/column_fit.h"
#include "app/popup_menu.h"
#include "app/run_list.h"
#include "app/run_menu.h"
#include "app/stability_caption.h"
#include "app/stability_plot.h"
#include "graph/stability_drawing.h"

#include <QActionGroup>
#include <QClipboard>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QTimer>
#include <algorithm>
#include <limits>

namespace app {
namespace {
// A few analyses a second at most: each takes time in proportion to the readings, the running
// sums do not.
constexpr int kRefreshIntervalMs = 250;
// New readings start the next analysis only once this many times the processor time the last one
// took has passed: however long the measurement grows at line rate, following it keeps to half a
// per cent of a core (a day of readings is analysed anew about every 20 s). A choice of the user
// starts its analysis at once.
constexpr double kQuietFactor = 200;
// An analysis that runs longer than this shows that it runs, and its progress as it rises, at most
// as often: four times a second is as often as a person reads a percentage, and each change costs
// the main thread a look and a paint.
constexpr int kProgressAfterMs = 250;
// More readings than this not yet taken by the running sums are left to the worker's next
// analysis, which forms the sums of all of them at once off the main thread.
constexpr std::size_t kReadingsTakenHere = 4096;
// Room around a cell's text in pixels.
constexpr int kCellPadding = 6;

const QStringList kColumns{"dev.", "unit", "tau/s", "terms", "deviation", "lower", "upper"};
// Where runs are compared, the run's name comes first.
const QString kRunColumn = QStringLiteral("run");
// The names and units stand left, the numbers right.
constexpr int kFirstNumberColumn = 2;

// The menu's groups of deviations, each a block between separators.
bool startsGroup(analysis::Deviation kind) {
    using analysis::Deviation;
    return kind == Deviation::Total || kind == Deviation::Theo1 || kind == Deviation::Mtie;
}

const char* unitText(analysis::DeviationUnit unit) {
    switch (unit) {
    case analysis::DeviationUnit::Fractional:
        return "frac.";
    case analysis::DeviationUnit::Seconds:
        break;
    }
    return "s";
}

// Numbers are drawn without the text shaper: their digits, signs and exponents need none, and it
// is most of what a refreshed table costs to paint.
class NumberCells : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        if (option->displayAlignment & Qt::AlignRight) {
            option->font.setStyleStrategy(QFont::PreferNoShaping);
        }
    }
};

// Names and units stand left, numbers right.
Qt::Alignment cellAlignment(bool number) {
    return number ? Qt::AlignRight | Qt::AlignVCenter : Qt::AlignLeft | Qt::AlignVCenter;
}

// The menu's entry of a deviation: the four the page began with keep the entries users know,
// the others read as their description.
std::string menuCaption(analysis::Deviation kind) {
    switch (kind) {
    case analysis::Deviation::Allan:
        return "Allan deviation";
    case analysis::Deviation::ModifiedAllan:
        return "Modified Allan deviation";
    case analysis::Deviation::Hadamard:
        return "Hadamard deviation";
    case analysis::Deviation::Time:
        return "Time deviation";
    default:
        return std::string(analysis::deviationDescription(kind).caption);
    }
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
    : Page(parent), graphSpan_(std::move(graphSpan)),
      readings_(std::make_shared<recording::ReadingTable>()),
      fractionalPlot_(new StabilityPlot(this)), secondsPlot_(new StabilityPlot(this)),
      table_(new QTableWidget(0, static_cast<int>(kColumns.size()), this)),
      caption_(new QLabel(this)), menu_(new QMenu(this)), refreshTimer_(new QTimer(this)),
      progressTimer_(new QTimer(this)), columnFit_(*table_),
      worker_(
          this, [this](StabilityOutcome outcome) { analysisFinished(std::move(outcome)); },
          [this] { showProgress(); }, kProgressAfterMs),
      runWorker_(this, [this](StabilityOutcome outcome) { runAnalysed(std::move(outcome)); }) {
    table_->setHorizontalHeaderLabels(kColumns);
    table_->verticalHeader()->hide();
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setItemDelegate(new NumberCells(table_));
    table_->verticalHeader()->setDefaultSectionSize(QFontMetrics(table_->font()).height() + 4);
    // Sized to the contents once per result: resizing to them on every cell's change costs
    // milliseconds a refresh.
    table_->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    table_->horizontalHeader()->setStretchLastSection(true);
    // Its text stands at the left: narrowed for the progress line, it keeps its pixels and is not
    // drawn again.
    caption_->setAttribute(Qt::WA_StaticContents);
    refreshTimer_->setSingleShot(true);
    refreshTimer_->setInterval(kRefreshIntervalMs);
    connect(refreshTimer_, &QTimer::timeout, this, &StabilityPage::refresh);
    progressTimer_->setSingleShot(true);
    progressTimer_->setInterval(kProgressAfterMs);
    connect(progressTimer_, &QTimer::timeout, this, &StabilityPage::showProgress);
    buildMenu();
    for (QWidget* widget :
         std::initializer_list<QWidget*>{fractionalPlot_, secondsPlot_, table_, caption_, this}) {
        attachPopup(widget, menu_);
    }
    showResult();
}

StabilityPage::~StabilityPage() = default;

void StabilityPage::buildMenu() {
    QMenu* kinds = addSubMenu(menu_, "Deviations");
    for (const analysis::Deviation kind : analysis::allDeviations()) {
        if (startsGroup(kind)) {
            kinds->addSeparator();
        }
        const bool shown = std::ranges::find(kinds_, kind) != kinds_.end();
        const std::string caption = menuCaption(kind);
        QAction* action = addChoice(kinds, caption.c_str(), shown);
        connect(action, &QAction::toggled, this, [this, kind](bool on) {
            choose([this, kind, on] {
                std::erase(kinds_, kind);
                if (on) {
                    kinds_.push_back(kind);
                    std::ranges::sort(kinds_);
                }
            });
        });
    }
    kinds->addSeparator();
    connect(addChoice(kinds, "Bias-corrected total deviations", false), &QAction::toggled, this,
            [this](bool on) { choose([this, on] { biasCorrected_ = on; }); });
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

// A choice starts its analysis at once; the plots show which units it needs at once.
void StabilityPage::choose(const std::function<void()>& change) {
    const std::vector<analysis::Deviation> kindsBefore = kinds_;
    change();
    ++choicesGeneration_;
    runWorker_.cancel();
    // Of the choices only the deviations decide where the plots stand.
    if (kinds_ != kindsBefore) {
        layOut();
    }
    restart();
    analyseNextRun();
}

void StabilityPage::useRuns(RunList& runs) {
    runList_ = &runs;
    QAction* before = menu_->actions().at(menu_->actions().size() - 2); // the last separator
    auto* runMenu = new QMenu(menu_);
    addRunMenu(runMenu, runs);
    for (QAction* action : runMenu->actions()) {
        menu_->insertAction(before, action);
    }
    connect(&runs, &RunList::changed, this, [this] {
        std::erase_if(runResults_, [this](const RunResult& held) {
            return runList_->indexOf(held.readings) == runList_->runs().size();
        });
        showResult();
        analyseNextRun();
    });
}

// One run at a time, the first visible one without a result for the current choices; a hidden
// page analyses none.
void StabilityPage::analyseNextRun() {
    if (runList_ == nullptr || !isVisible() || runWorker_.running()) {
        return;
    }
    for (const Run& run : runList_->runs()) {
        if (!run.visible || !run.readings || run.readings->empty() ||
            run.readings.get() == readings_.get()) {
            continue;
        }
        const bool done = std::ranges::any_of(runResults_, [&](const RunResult& held) {
            return held.readings == run.readings.get() && held.choices == choicesGeneration_;
        });
        if (done) {
            continue;
        }
        runAnalysed_ = run.readings.get();
        runWorker_.start([readings = run.readings->snapshot(), chosen = options(),
                          choices = choicesGeneration_](const analysis::AnalysisControl& control) {
            StabilityOutcome outcome;
            outcome.result =
                analysis::analyzeReadings(readings, 0, readings.size(), chosen, control);
            outcome.readingsGeneration = choices;
            return outcome;
        });
        return;
    }
}

void StabilityPage::runAnalysed(StabilityOutcome outcome) {
    const recording::ReadingTable* readings = runAnalysed_;
    runAnalysed_ = nullptr;
    if (!outcome.result.cancelled && outcome.readingsGeneration == choicesGeneration_ &&
        runList_ != nullptr && runList_->indexOf(readings) < runList_->runs().size()) {
        std::erase_if(runResults_,
                      [readings](const RunResult& held) { return held.readings == readings; });
        runResults_.push_back({readings, choicesGeneration_, std::move(outcome.result)});
        showResult();
    }
    analyseNextRun();
}

void StabilityPage::gatherRuns() {
    runs_.clear();
    if (runList_ == nullptr || !runList_->comparing()) {
        runs_.push_back({{}, ownResult_, std::nullopt});
        return;
    }
    for (const Run& run : runList_->runs()) {
        if (!run.visible) {
            continue;
        }
        if (run.readings.get() == readings_.get()) {
            runs_.push_back({run.name, ownResult_, run.colour});
            continue;
        }
        const auto held = std::ranges::find_if(runResults_, [&](const RunResult& result) {
            return result.readings == run.readings.get() && result.choices == choicesGeneration_;
        });
        if (held != runResults_.end()) {
            runs_.push_back({run.name, held->result, run.colour});
        }
    }
}

// A running analysis is of readings gone: it stops, and its result is dropped.
void StabilityPage::follow(std::shared_ptr<const recording::ReadingTable> readings) {
    readings_ = std::move(readings);
    ++readingsGeneration_;
    live_.reset();
    catchUp();
    if (worker_.running()) {
        dropResult_ = true;
        worker_.cancel();
    }
    refreshSoon();
}

void StabilityPage::readingsAdded() {
    catchUp();
    refreshSoon();
}

void StabilityPage::catchUp() {
    if (readings_->size() - live_.taken() <= kReadingsTakenHere) {
        live_.follow(*readings_);
    }
}

// Hidden, the page only notes that it is behind; it catches up when it shows.
void StabilityPage::refreshSoon() {
    stale_ = true;
    if (isVisible() && !refreshTimer_->isActive() && !worker_.running()) {
        refreshTimer_->start();
    }
}

// New readings wait for a running analysis to return; its result is still the latest one.
void StabilityPage::refresh() {
    if (isVisible() && !worker_.running()) {
        startAnalysis();
    }
}

// The input of a running analysis has changed: it stops, and the page starts anew.
void StabilityPage::restart() {
    stale_ = true;
    if (!isVisible()) {
        return;
    }
    if (worker_.running()) {
        dropResult_ = true;
        restartDue_ = true;
        worker_.cancel();
        return;
    }
    startAnalysis();
}

void StabilityPage::showEvent(QShowEvent* event) {
    Page::showEvent(event);
    // The graph's zoom may have changed meanwhile.
    if (stale_ || span_ == StabilitySpan::GraphZoom) {
        restart();
    }
    analyseNextRun();
}

// Hidden, the page does no work: an analysis under way stops and is started again on showing.
void StabilityPage::hideEvent(QHideEvent* event) {
    Page::hideEvent(event);
    refreshTimer_->stop();
    runWorker_.cancel();
    if (worker_.running()) {
        dropResult_ = true;
        restartDue_ = false;
        stale_ = true;
        worker_.cancel();
    }
}

bool StabilityPage::upToDate() const {
    return !stale_ && !worker_.running();
}

analysis::StabilityOptions StabilityPage::options() const {
    analysis::StabilityOptions options;
    options.spacing = spacing_;
    options.kinds = kinds_;
    options.removeDrift = removeDrift_;
    options.biasCorrected = biasCorrected_;
    return options;
}

// The readings come in time order, so a span of time is a run of them.
std::pair<std::size_t, std::size_t> StabilityPage::spanReadings(const TimeSpan& shown) const {
    const recording::ReadingTable& all = *readings_;
    const auto firstWhere = [&all](auto after) {
        std::size_t low = 0;
        std::size_t high = all.size();
        while (low < high) {
            const std::size_t middle = low + (high - low) / 2;
            if (after(all.timeMs(middle))) {
                high = middle;
            } else {
                low = middle + 1;
            }
        }
        return low;
    };
    const double fromMs = shown.fromSeconds * 1000;
    const double toMs = shown.toSeconds * 1000;
    const std::size_t first = firstWhere([fromMs](double t) { return !(t < fromMs); });
    const std::size_t last = firstWhere([toMs](double t) { return toMs < t; });
    return first < last ? std::pair(first, last) : std::pair<std::size_t, std::size_t>(0, 0);
}

void StabilityPage::startAnalysis() {
    stale_ = false;
    restartDue_ = false;
    dropResult_ = false;
    refreshTimer_->stop();
    ++analysesStarted_;
    const analysis::StabilityOptions chosen = options();
    const bool whole = span_ == StabilitySpan::WholeMeasurement;
    const auto [first, last] = whole ? std::pair<std::size_t, std::size_t>(0, readings_->size())
                                     : spanReadings(graphSpan_());
    // The worker reads copies: the store's blocks are shared, not copied, and the running sums
    // are a few kilobytes.
    worker_.start([live = live_, readings = *readings_, chosen, whole, first, last,
                   generation = readingsGeneration_](const analysis::AnalysisControl& control) {
        StabilityOutcome outcome;
        if (whole) {
            analysis::LiveStability caughtUp = live;
            caughtUp.follow(readings);
            outcome.result = caughtUp.result(readings, chosen, control);
            if (caughtUp.taken() > live.taken()) {
                outcome.caughtUp = std::move(caughtUp);
                outcome.readingsGeneration = generation;
            }
        } else {
            outcome.result = analysis::analyzeReadings(readings, first, last, chosen, control);
        }
        outcome.statistics = analysis::spanStatistics(readings, first, last);
        return outcome;
    });
    progressTimer_->start();
}

void StabilityPage::analysisFinished(StabilityOutcome outcome) {
    progressTimer_->stop();
    refreshTimer_->setInterval(
        static_cast<int>(std::clamp(kQuietFactor * outcome.processorMs, double{kRefreshIntervalMs},
                                    double{std::numeric_limits<int>::max()})));
    if (!progressText_.isEmpty()) {
        progressText_.clear();
        placeCaptionLine();
    }
    // The sums are the store's whatever the choices: only a new store makes them useless.
    if (outcome.caughtUp && outcome.readingsGeneration == readingsGeneration_ &&
        outcome.caughtUp->taken() > live_.taken()) {
        live_ = std::move(*outcome.caughtUp);
        live_.follow(*readings_);
    }
    if (!dropResult_ && !outcome.result.cancelled) {
        ownResult_ = std::move(outcome.result);
        statistics_ = outcome.statistics;
        showResult();
        emit resultShown();
    }
    if (restartDue_) {
        restart();
    } else if (stale_) {
        refreshSoon();
    }
}

void StabilityPage::showProgress() {
    if (!worker_.running()) {
        return;
    }
    // Where no work is counted yet, or none at all (deviations from running sums alone), no number.
    const int percent = static_cast<int>(worker_.progress() * 100);
    const QString text = percent > 0 ? QStringLiteral("Analysing ... %1 %").arg(percent)
                                     : QStringLiteral("Analysing ...");
    if (text == progressText_) {
        return;
    }
    const bool appears = progressText_.isEmpty();
    progressText_ = text;
    if (appears) {
        placeCaptionLine();
    }
    update(progressPlace_);
}

void StabilityPage::showResult() {
    using analysis::DeviationUnit;
    gatherRuns();
    fractionalPlot_->showCurves(graph::stabilityCurves(runs_, DeviationUnit::Fractional),
                                graph::deviationAxisCaption(DeviationUnit::Fractional));
    secondsPlot_->showCurves(graph::stabilityCurves(runs_, DeviationUnit::Seconds),
                             graph::deviationAxisCaption(DeviationUnit::Seconds));
    const bool named = runList_ != nullptr && runList_->comparing();
    const int first = named ? 1 : 0;
    if (table_->columnCount() != static_cast<int>(kColumns.size()) + first) {
        table_->clear();
        table_->setColumnCount(static_cast<int>(kColumns.size()) + first);
        table_->setHorizontalHeaderLabels(named ? QStringList{kRunColumn} + kColumns : kColumns);
    }
    int rows = 0;
    for (const graph::StabilityRun& run : runs_) {
        rows += static_cast<int>(run.result.points.size());
    }
    table_->setRowCount(rows);
    int row = 0;
    for (const graph::StabilityRun& run : runs_) {
        for (const analysis::DeviationPoint& point : run.result.points) {
            const analysis::DeviationDescription& description =
                analysis::deviationDescription(point.kind);
            const analysis::DeviationCells cells = analysis::deviationCells(point);
            if (named) {
                columnFit_.setCell(row, 0, QString::fromStdString(run.name), cellAlignment(false));
            }
            columnFit_.setCell(row, first, QString::fromUtf8(description.name),
                               cellAlignment(false));
            columnFit_.setCell(row, first + 1, QString::fromLatin1(unitText(description.unit)),
                               cellAlignment(false));
            int column = first + kFirstNumberColumn;
            for (const std::string* cell :
                 {&cells.tau, &cells.terms, &cells.value, &cells.lower, &cells.upper}) {
                columnFit_.setCell(row, column++, QString::fromStdString(*cell),
                                   cellAlignment(true));
            }
            ++row;
        }
    }
    columnFit_.fit();
    caption_->setText(QString::fromUtf8(stabilityCaption(ownResult_, statistics_, removeDrift_)));
}

// Where runs are compared, each visible run's table under its name.
void StabilityPage::copyTable() {
    if (runList_ == nullptr || !runList_->comparing()) {
        QGuiApplication::clipboard()->setText(
            QString::fromUtf8(analysis::deviationTable(shown().points)));
        return;
    }
    std::string text;
    for (const graph::StabilityRun& run : runs_) {
        text += (text.empty() ? "" : "\n") + run.name + '\n' +
                analysis::deviationTable(run.result.points);
    }
    QGuiApplication::clipboard()->setText(QString::fromUtf8(text));
}

// The table is as wide as its columns need for the widest numbers, up to half the page; the plot
// takes the rest above the caption line.
int StabilityPage::neededTableWidth() const {
    const QFontMetrics metrics(table_->font());
    int width = 2 * table_->frameWidth() + table_->verticalScrollBar()->sizeHint().width();
    for (const char* widest :
         {"MTOTDEV", "0.10234", "1000000", "9.9999e-10", "9.9999e-10", "9.9999e-10", "frac."}) {
        width += metrics.horizontalAdvance(QString::fromLatin1(widest)) + kCellPadding;
    }
    return width;
}

// The plots share the height above the caption line: the fractional one on top, the one in
// seconds below, each alone where only its unit is chosen.
void StabilityPage::layOut() {
    captionLineHeight_ = QFontMetrics(caption_->font()).height() + 4;
    progressWidth_ =
        QFontMetrics(font()).horizontalAdvance(QStringLiteral("Analysing ... 100 %")) + 8;
    const int bodyHeight = std::max(0, height() - captionLineHeight_);
    // The table gets the width its columns need while the plots keep a third of the page.
    const int tableWidth = std::min(width() - width() / 3, neededTableWidth());
    const int plotWidth = width() - tableWidth;
    const graph::StabilityPlaces places = graph::stabilityPlaces({plotWidth, bodyHeight}, kinds_);
    fractionalPlot_->setVisible(places.fractionalShown);
    secondsPlot_->setVisible(places.secondsShown);
    fractionalPlot_->setGeometry(places.fractional);
    secondsPlot_->setGeometry(places.seconds);
    table_->setGeometry(plotWidth, 0, tableWidth, bodyHeight);
    placeCaptionLine();
}

// The caption along the bottom, and at its right the progress while it shows: all a progress
// that comes or goes moves, without measuring the table again.
void StabilityPage::placeCaptionLine() {
    const int top = std::max(0, height() - captionLineHeight_);
    const int progressWidth = progressText_.isEmpty() ? 0 : progressWidth_;
    const int captionWidth = std::max(0, width() - 8 - progressWidth);
    caption_->setGeometry(4, top, captionWidth, captionLineHeight_);
    progressPlace_ = QRect(4 + captionWidth, top, progressWidth, captionLineHeight_);
}

void StabilityPage::paintEvent(QPaintEvent* event) {
    Page::paintEvent(event);
    if (!progressText_.isEmpty()) {
        QPainter painter(this);
        painter.setPen(palette().color(QPalette::WindowText));
        painter.drawText(progressPlace_, Qt::AlignRight | Qt::AlignVCenter, progressText_);
    }
}

} // namespace app
