// SPDX-License-Identifier: GPL-3.0-or-later
#include "graph/column_masks.h"
#include "graph/line_columns.h"
#include "graph/point_mapping.h"
#include "graph/second_core.h"
#include "graph/trace_drawing.h"

#include "plot/clipper.h"
#include "plot/symbols.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>
#include <optional>
#include <span>
#include <thread>

namespace graph {

// A trace's lines all share one pen in copy mode, and so do its symbols: each of the two layers
// is the union of the pixels its pieces cover. At a million points thousands of segments fall in
// one pixel column, so the union is collected in per-column masks and painted once, instead of
// rasterising every segment and every symbol. The clipper and the symbol shape are the engine's
// own, and the line pixels and end dots follow the canvas and the engine rule for rule, so the
// picture is the same pixel for pixel.

namespace {

bool symbolShapeDrawable(const Trace& trace, int size) {
    // Shape 0 and sizes below 2 take the pen colour of the moment the queue is drawn, the
    // immediate-drawing bit draws at once, and huge symbols cost more as a stencil than drawn:
    // those stay with the engine.
    return trace.symbol >= plot::kCircleSymbol && trace.symbol <= plot::kCrossSymbol && size >= 2 &&
           size <= 256;
}

// The pixels one symbol covers, as offsets from its centre, drawn by the engine's own symbol
// code on a scratch canvas.
std::vector<QPoint> symbolStencil(const Trace& trace, int size, const plot::Canvas& target) {
    const int reach = size + 4;
    plot::Canvas scratch(2 * reach + 1, 2 * reach + 1);
    scratch.pen = target.pen;
    scratch.brush = target.brush;
    scratch.font = target.font;
    const plot::Color painted = plot::colorToRgb(trace.colour);
    const plot::Color background = painted ^ 0x00FFFFFF;
    scratch.brush.color = background;
    scratch.brush.style = plot::BrushStyle::Solid;
    scratch.fillRect(0, 0, scratch.width(), scratch.height());
    scratch.brush = target.brush;

    plot::SymbolRecord record;
    record.x = reach;
    record.y = reach;
    record.kind = static_cast<std::uint16_t>(trace.symbol);
    record.size = static_cast<std::uint16_t>(size);
    record.fill = 0;
    record.penWidth = 1;
    record.colour = trace.colour;

    plot::drawSymbolRecord(scratch, record, background);

    std::vector<QPoint> stencil;
    for (int y = 0; y < scratch.height(); ++y)
        for (int x = 0; x < scratch.width(); ++x)
            if (scratch.pixel(x, y) == painted)
                stencil.emplace_back(x - reach, y - reach);
    return stencil;
}

struct TraceLayers {
    ColumnMasks lines;
    ColumnMasks centres;
};

// Runs are looked at this many ahead of the walk, to ask for the points the walk will need.
constexpr std::size_t kRunsAhead = 4;
// The values a run's symbols need first, from each end of its order.
constexpr std::size_t kValuesAsked = 3;

// Whether a walk may pass stretches of the trace from their summaries: its x never goes back and
// the mapping is linear and finite.
bool summariesUsable(const Trace& trace, const TraceStyle& style, const plot::Mapping& map) {
    return trace.points.xInOrder() && map.xMax > map.xMin && map.yMax > map.yMin &&
           std::isfinite(style.xScaleFactor) && std::isfinite(style.yScaleFactor);
}

// Walks the blocks [firstBlock, endBlock) of one trace as moveTo/drawTo/drawSymbol would,
// collecting line pixels with their end dots and the symbol centres. The pen starts at (PenX,
// PenY): the first point when starting at block 0, else the last point of the block before,
// whose symbol belongs to that block's walk. This loop runs once per point, so its state lives
// in locals.
void collectTrace(const Trace& trace, const TraceStyle& style, const plot::Mapping& map,
                  const plot::ClipRect& rect, std::size_t firstBlock, std::size_t endBlock,
                  TraceLayers& layers, int& penX, int& penY) {
    const int top = rect.top;
    const int bottom = rect.bottom;
    const unsigned rows = static_cast<unsigned>(bottom - top);
    auto insideRows = [&](int y) { return static_cast<unsigned>(y - top) <= rows; };
    int prevX = penX;
    int prevY = penY;

    // Vertical segments lying inside, one after the other in one column: each covers its start
    // up to, not including, its end, and its end pixel too when that lies strictly inside (the
    // end dot, set before the next segment). Their union is the span of the values visited, less
    // a last value that no earlier one reaches and that lies on the top or bottom edge.
    bool chainOn = false;
    int chainX = 0;
    int hullLow = 0;
    int hullHigh = 0;
    int lastY = 0;
    auto strictlyInsideRows = [&](int y) { return y > top && y < bottom; };
    auto closeChain = [&] {
        if (!chainOn)
            return;
        chainOn = false;
        if (hullLow > hullHigh) {
            if (strictlyInsideRows(lastY))
                layers.lines.addRun(chainX, lastY, lastY);
            return;
        }
        int low = std::min(hullLow, lastY);
        int high = std::max(hullHigh, lastY);
        if (!strictlyInsideRows(lastY)) {
            if (lastY < hullLow)
                ++low;
            if (lastY > hullHigh)
                --high;
        }
        layers.lines.addRun(chainX, low, high);
    };
    auto extendChain = [&](int y) {
        const bool fold = y != lastY;
        hullLow = fold ? std::min(hullLow, lastY) : hullLow;
        hullHigh = fold ? std::max(hullHigh, lastY) : hullHigh;
        lastY = y;
    };
    // For the line: values whose rows lie within the rows the current vertical chain has spanned
    // (see the stretches below); only while that chain lasts.
    struct ValueRange {
        double low, high;
    };
    constexpr ValueRange kNoValues{std::numeric_limits<double>::infinity(),
                                   -std::numeric_limits<double>::infinity()};
    ValueRange chainValues = kNoValues;
    auto lineTo = [&](int x, int y) {
        if (chainOn && x == chainX && insideRows(y)) {
            extendChain(y);
            return;
        }
        closeChain();
        if (x == prevX && x > rect.left && x < rect.right && insideRows(prevY) && insideRows(y)) {
            chainOn = true;
            chainX = x;
            chainValues = kNoValues;
            hullLow = INT_MAX;
            hullHigh = INT_MIN;
            lastY = prevY;
            extendChain(y);
            return;
        }
        int x0 = prevX;
        int y0 = prevY;
        int x1 = x;
        int y1 = y;
        if (!plot::clipSegment(rect, x0, y0, x1, y1))
            return;
        addLinePixels(layers.lines, x0, y0, x1, y1);
        if (x1 < rect.right && strictlyInsideRows(y1))
            layers.lines.add(x1, y1);
    };

    // Symbol centres inside the plot rectangle and the picture. Dense data puts many centres in
    // a row into one column: they are marked in a byte per row, stores that need no earlier
    // load, and moved into the masks, eight rows a word, when the column changes.
    const int centreLeft = std::max(rect.left, 0);
    const int centreRight = std::min(rect.right, layers.centres.width() - 1);
    const int centreTop = std::max(top, 0);
    const int centreBottom = std::min(bottom, layers.centres.height() - 1);
    std::vector<std::uint8_t> marked((std::max(layers.centres.height(), 0) + 7) / 8 * 8, 0);
    int markedColumn = -1;
    int markedLow = INT_MAX;
    int markedHigh = INT_MIN;
    // Eight bytes at a time: the multiplication gathers their lowest bits into its top byte.
    auto flushCentres = [&] {
        for (int y = markedLow & ~7; y <= markedHigh; y += 8) {
            std::uint64_t bytes = 0;
            std::memcpy(&bytes, &marked[y], sizeof bytes);
            if (bytes == 0)
                continue;
            const std::uint64_t bits = (bytes * 0x0102040810204080) >> 56;
            layers.centres.word(layers.centres.wordIndex(markedColumn, y)) |= bits << (y & 63);
            std::memset(&marked[y], 0, sizeof bytes);
        }
        markedLow = INT_MAX;
        markedHigh = INT_MIN;
    };
    auto addCentre = [&](int x, int y) {
        if (x < centreLeft || x > centreRight || y < centreTop || y > centreBottom)
            return;
        if (x != markedColumn) {
            flushCentres();
            markedColumn = x;
        }
        marked[y] = 1;
        markedLow = std::min(markedLow, y);
        markedHigh = std::max(markedHigh, y);
    };

    const PixelMapper mapper(map, style.xScaleFactor, style.yScaleFactor);
    const PointArray& points = trace.points;
    const bool runsUsable = summariesUsable(trace, style, map);

    // Whether symbols centred in column x between two rows would mark nothing new: the column
    // or the rows lie outside, or every row between them is marked already.
    auto centresMarked = [&](int x, int rowA, int rowB) {
        const int low = std::max(std::min(rowA, rowB), centreTop);
        const int high = std::min(std::max(rowA, rowB), centreBottom);
        return x < centreLeft || x > centreRight || low > high ||
               layers.centres.allMarked(x, low, high);
    };
    // The symbol centres of points from..to - 1 of a run, all in column x, straight into the
    // masks. Their pixel rows, in the order of their sorted values, go one way; around the row of
    // their middle value lies a stretch of rows already marked, and only the values beyond that
    // stretch, at the two ends of the sorted order, need to be mapped and marked. The rows of the
    // lowest and highest of them are known.
    auto addRunCentres = [&](int x, const PointBlock& run, const RunSummary& summary,
                             std::size_t from, std::size_t to, int lowRow, int highRow) {
        constexpr std::size_t kLast = RunSummary::kPoints - 1;
        auto inPart = [&](std::size_t i) { return summary.byY[i] >= from && summary.byY[i] < to; };
        std::size_t lowest = 0;
        while (!inPart(lowest))
            ++lowest;
        std::size_t highest = kLast;
        while (!inPart(highest))
            --highest;
        auto rowAt = [&](std::size_t i) {
            if (i == lowest)
                return lowRow;
            if (i == highest)
                return highRow;
            return mapper.row(run.y[summary.byY[i]]);
        };
        auto mark = [&](int row) {
            if (row >= centreTop && row <= centreBottom)
                layers.centres.add(x, row);
        };
        // A whole run's middle value is in its summary; a part's is the one nearest the middle.
        constexpr std::size_t kCentre = RunSummary::kPoints / 2;
        std::size_t middle = kCentre;
        for (std::size_t step = 1; !inPart(middle); ++step) {
            if (step <= kCentre && inPart(kCentre - step))
                middle = kCentre - step;
            else if (kCentre + step <= kLast && inPart(kCentre + step))
                middle = kCentre + step;
        }
        const int middleRow =
            from == 0 && to == RunSummary::kPoints ? mapper.row(summary.middle) : rowAt(middle);
        mark(middleRow);
        int markedLow = middleRow;
        int markedHigh = middleRow;
        if (middleRow >= centreTop && middleRow <= centreBottom) {
            const int above = layers.centres.nextUnmarked(x, middleRow, -1, centreTop);
            const int below = layers.centres.nextUnmarked(x, middleRow, 1, centreBottom);
            markedLow = above < 0 ? centreTop : above + 1;
            markedHigh = below < 0 ? centreBottom : below - 1;
        }
        auto beyond = [&](int row) { return row < markedLow || row > markedHigh; };
        for (std::size_t i = lowest; i < middle; ++i) {
            if (!inPart(i))
                continue;
            const int row = rowAt(i);
            if (!beyond(row))
                break;
            mark(row);
        }
        for (std::size_t i = highest; i > middle; --i) {
            if (!inPart(i))
                continue;
            const int row = rowAt(i);
            if (!beyond(row))
                break;
            mark(row);
        }
    };

    const bool fromStart = firstBlock == 0;
    if (trace.symbolOn && fromStart)
        addCentre(prevX, prevY);
    // Where the line breaks: the walk moves the pen there without a line. No stretch holding a
    // break is passed from its summary, so the walk meets every break on its way, in order.
    const std::vector<std::size_t>& breaks = trace.points.breaks();
    auto nextBreak = std::lower_bound(breaks.begin(), breaks.end(),
                                      fromStart ? 1 : firstBlock * PointArray::kBlockSize);
    std::size_t breakAt = nextBreak != breaks.end() ? *nextBreak : SIZE_MAX;
    auto passBreak = [&] {
        ++nextBreak;
        breakAt = nextBreak != breaks.end() ? *nextBreak : SIZE_MAX;
    };
    // Whether the last point of a stretch starting after the pen lies in the pen's column, and
    // with it every point of the stretch (the x of the points never goes back and the mapping is
    // monotonic). What the mapping told of the pen's column is kept as two x values: every x from
    // the pen's up to xInColumn maps into it, every x from xBeyond on past it. Most stretches are
    // then told apart without a mapping.
    int boundsColumn = INT_MIN;
    double xInColumn = 0;
    double xBeyond = 0;
    auto lastInPenColumn = [&](double x) {
        if (boundsColumn != prevX) {
            boundsColumn = prevX;
            xInColumn = -std::numeric_limits<double>::infinity();
            xBeyond = std::numeric_limits<double>::infinity();
        }
        if (x <= xInColumn)
            return true;
        if (x >= xBeyond)
            return false;
        const bool inColumn = mapper.column(x) == prevX;
        (inColumn ? xInColumn : xBeyond) = x;
        return inColumn;
    };

    // Values whose rows a stretch may hold without changing any pixel, kept as value ranges so
    // that most stretches are passed by comparing their lowest and highest value, unmapped. The
    // rows between two rows lie between them, so a range stands for every value in it, and two
    // ranges whose rows lie in one stretch of such rows stand for every value between them.
    // The values whose rows lie from rowFrom to rowTo, as far as found: the values near the outer
    // edges of the two rows, or else at their middles, each only where its row checks.
    auto valuesOfRows = [&](int rowFrom, int rowTo) -> std::optional<ValueRange> {
        auto valueIn = [&](int row, double outward) -> std::optional<double> {
            for (double position : {row + outward, double(row)}) {
                const double v = mapper.valueNear(position);
                const int r = mapper.row(v);
                if (std::isfinite(v) && r >= rowFrom && r <= rowTo)
                    return v;
            }
            return std::nullopt;
        };
        constexpr double kNearEdge = 0.49;
        const std::optional<double> a = valueIn(rowFrom, -kNearEdge);
        const std::optional<double> b = valueIn(rowTo, kNearEdge);
        if (!a || !b)
            return std::nullopt;
        return ValueRange{std::min(*a, *b), std::max(*a, *b)};
    };
    auto widen = [](ValueRange& range, const std::optional<ValueRange>& more) {
        if (more) {
            range.low = std::min(range.low, more->low);
            range.high = std::max(range.high, more->high);
        }
    };
    // For the symbols: values whose rows in column markedValuesColumn are marked (or lie outside
    // the picture, where nothing is marked).
    int markedValuesColumn = INT_MIN;
    ValueRange markedValues = kNoValues;
    // Values from `low` to `high`, rows from upperRow to lowerRow, are marked in the pen's
    // column: with them, the values of the stretch of marked rows around them.
    auto noteMarkedValues = [&](double low, double high, int upperRow, int lowerRow) {
        ValueRange range{low, high};
        const int from = std::max(upperRow, centreTop);
        const int to = std::min(lowerRow, centreBottom);
        if (from <= to && prevX >= centreLeft && prevX <= centreRight) {
            const int above = layers.centres.nextUnmarked(prevX, from, -1, centreTop);
            const int below = layers.centres.nextUnmarked(prevX, to, 1, centreBottom);
            widen(range, valuesOfRows(above < 0 ? centreTop : above + 1,
                                      below < 0 ? centreBottom : below - 1));
        }
        const bool apart = markedValuesColumn != prevX || range.high < markedValues.low ||
                           range.low > markedValues.high;
        // Ranges apart may hold unmarked rows between them: the wider one is kept.
        if (apart && markedValuesColumn == prevX &&
            range.high - range.low <= markedValues.high - markedValues.low)
            return;
        if (apart) {
            markedValuesColumn = prevX;
            markedValues = range;
            return;
        }
        widen(markedValues, range);
    };

    // A stretch of points (a run or a group) is passed from its summary when all its points stay
    // in the pen's column. With lines, only inside a vertical chain, with no value beyond the top
    // or bottom row and the last one strictly between them, where the chain's union is the span
    // of its rows whatever their order (only a final edge value can drop out of the line). With
    // symbols, when the rows of its values are marked already, or, for a run, once its values'
    // rows are marked from its sorted order. A group whose symbols would mark rows is not passed:
    // its parts are, one by one.
    // The rows the stretches' symbols reached in the repaints before, while they map the same.
    RowSets& rowSets = points.rowSets();
    const bool rowSetsUsed = runsUsable && trace.symbolOn;
    if (rowSetsUsed)
        rowSets.begin(
            {mapper.rowTerms(), centreTop, centreBottom, layers.centres.wordsPerColumn()});
    auto markRows = [&](std::span<const std::uint64_t> rows) {
        if (prevX >= centreLeft && prevX <= centreRight)
            layers.centres.addColumn(prevX, rows);
    };

    // The pen's row, and the chain's last one, as the row of penValue where a stretch passed
    // without mapping left them.
    double penValue = 0;
    bool penRowMapped = true;
    auto mapPenRow = [&] {
        if (penRowMapped)
            return;
        penRowMapped = true;
        prevY = mapper.row(penValue);
        if (trace.lineOn)
            lastY = prevY;
    };

    // The stretch of `level` (a run, 0, or a group of GroupSummary level `level` - 1) starting at
    // point `start`, with the run's points and summary where it is one, and then the part of it
    // from point `from` to before `to`.
    auto takeStretch = [&](double low, double high, const Point& last, std::size_t level,
                           std::size_t start, const PointBlock* run, const RunSummary* summary,
                           std::size_t from, std::size_t to) {
        const bool whole = run == nullptr || (from == 0 && to == RunSummary::kPoints);
        if (std::isnan(low) || (trace.lineOn && (!chainOn || chainX != prevX)) ||
            !lastInPenColumn(last.x))
            return false;
        const bool lineKnown =
            !trace.lineOn || (low >= chainValues.low && high <= chainValues.high);
        const bool centresKnown =
            !trace.symbolOn ||
            (markedValuesColumn == prevX && low >= markedValues.low && high <= markedValues.high);
        if (lineKnown && centresKnown) {
            // Every row of the stretch lies within the chain's span already, which points before
            // the last one reached: only the pen and the last row move, to the row of the last
            // value, mapped once it is needed. A row left to be mapped lies within the span, and
            // a row mapped is in it once folded.
            if (trace.lineOn) {
                hullLow = std::min(hullLow, lastY);
                hullHigh = std::max(hullHigh, lastY);
            }
            penValue = last.y;
            penRowMapped = false;
            return true;
        }
        const int lastRow = mapper.row(last.y);
        const int lowRow = mapper.row(low);
        const int highRow = mapper.row(high);
        const int upperRow = std::min(lowRow, highRow);
        const int lowerRow = std::max(lowRow, highRow);
        if (!lineKnown && (upperRow < top || lowerRow > bottom || !strictlyInsideRows(lastRow)))
            return false;
        if (!centresKnown) {
            flushCentres();
            if (centresMarked(prevX, lowRow, highRow))
                noteMarkedValues(low, high, upperRow, lowerRow);
            else if (const auto rows = whole ? rowSets.rows(points, mapper, level, start)
                                             : std::span<const std::uint64_t>();
                     !rows.empty())
                markRows(rows);
            else if (run != nullptr)
                addRunCentres(prevX, *run, *summary, from, to, lowRow, highRow);
            else
                return false;
        }
        if (trace.lineOn) {
            hullLow = std::min({hullLow, lastY, upperRow});
            hullHigh = std::max({hullHigh, lastY, lowerRow});
            lastY = lastRow;
            widen(chainValues, ValueRange{low, high});
            widen(chainValues, valuesOfRows(hullLow, hullHigh));
        }
        prevY = lastRow;
        penRowMapped = true;
        return true;
    };

    // A run ahead whose symbols will need its values (rows of its column within its range not
    // yet marked; marks are only ever added, so a run found covered stays covered) has the
    // values at both ends of its order asked for now, so their fetches overlap.
    auto prefetchRunAhead = [&](const PointBlock& block, std::size_t blockIndex, std::size_t from) {
        if (!trace.symbolOn || from + RunSummary::kPoints > block.size())
            return;
        const RunSummary& summary = trace.points.summary(
            (blockIndex * PointArray::kBlockSize + from) / RunSummary::kPoints);
        if (std::isnan(summary.low) ||
            (markedValuesColumn == prevX && summary.low >= markedValues.low &&
             summary.high <= markedValues.high) ||
            centresMarked(mapper.column(summary.last.x), mapper.row(summary.low),
                          mapper.row(summary.high)))
            return;
        for (std::size_t i = 1; i <= kValuesAsked; ++i) {
            __builtin_prefetch(block.y.address(from + summary.byY[i]));
            __builtin_prefetch(block.y.address(from + summary.byY[RunSummary::kPoints - 1 - i]));
        }
    };

    // From point `from` of block `b` on: the largest group or run starting there that can be
    // passed, before the next break. Returns how many points it passed, none where the points
    // must be walked.
    auto takeStretches = [&](const PointBlock& block, std::size_t b, std::size_t from) {
        const std::size_t start = b * PointArray::kBlockSize + from;
        for (std::size_t level = GroupSummary::kLevels; level-- > 0;) {
            const std::size_t size = GroupSummary::points(level);
            if (start % size != 0 || from + size > block.size() || breakAt < start + size)
                continue;
            const GroupSummary& group = trace.points.group(level, start / size);
            if (takeStretch(group.low, group.high, group.last, level + 1, start, nullptr, nullptr,
                            0, 0))
                return size;
        }
        constexpr std::size_t size = RunSummary::kPoints;
        prefetchRunAhead(block, b, from + kRunsAhead * size);
        if (from + size > block.size() || breakAt < start + size)
            return std::size_t{0};
        const RunSummary& summary = trace.points.summary(start / size);
        const PointBlock run = block.subspan(from, size);
        return takeStretch(summary.low, summary.high, summary.last, 0, start, &run, &summary, 0,
                           size)
                   ? size
                   : 0;
    };

    // One point walked on its own, as the walk below walks every point of a chunk.
    auto walkPoint = [&](int x, int y) {
        if (trace.lineOn)
            lineTo(x, y);
        if (trace.symbolOn)
            addCentre(x, y);
        prevX = x;
        prevY = y;
    };

    // A run from point `from` of block `b` on, without a break, whose points leave the pen's
    // column: the points still in the column (found by bisection, x in order) and those after the
    // first two in the next column are passed as parts of the run where they can be, the rest
    // walked point by point. Returns false, having walked nothing, where the whole run is to be
    // walked point by point.
    auto takeEdgeRun = [&](const PointBlock& block, std::size_t b, std::size_t from) {
        constexpr std::size_t kRun = RunSummary::kPoints;
        const std::size_t start = b * PointArray::kBlockSize + from;
        if (from + kRun > block.size() || breakAt < start + kRun)
            return false;
        const RunSummary& summary = points.summary(start / kRun);
        if (std::isnan(summary.low))
            return false;
        const PointBlock run = block.subspan(from, kRun);
        std::size_t split = 0;
        for (std::size_t beyond = kRun; split < beyond;) {
            const std::size_t middle = (split + beyond) / 2;
            if (lastInPenColumn(run.x[middle]))
                split = middle + 1;
            else
                beyond = middle;
        }
        // The lowest and highest value of points partFrom to partTo - 1, from the sorted order.
        auto partValues = [&](std::size_t partFrom, std::size_t partTo) {
            auto inPart = [&](std::size_t i) {
                return summary.byY[i] >= partFrom && summary.byY[i] < partTo;
            };
            std::size_t lowest = 0;
            while (!inPart(lowest))
                ++lowest;
            std::size_t highest = kRun - 1;
            while (!inPart(highest))
                --highest;
            return ValueRange{run.y[summary.byY[lowest]], run.y[summary.byY[highest]]};
        };
        if (split == kRun)
            return false;
        if (split > 0) {
            const ValueRange head = partValues(0, split);
            if (!takeStretch(head.low, head.high, run[split - 1], 0, start, &run, &summary, 0,
                             split))
                return false;
        }
        mapPenRow();
        // The first two points past the column: the line's step over and, in the column they
        // reach, the start of its vertical chain.
        std::size_t next = split;
        for (; next < kRun && next < split + 2; ++next)
            walkPoint(mapper.column(run.x[next]), mapper.row(run.y[next]));
        if (next == kRun)
            return true;
        const ValueRange tail = partValues(next, kRun);
        if (takeStretch(tail.low, tail.high, run[kRun - 1], 0, start, &run, &summary, next, kRun))
            return true;
        int x[kRun];
        int y[kRun];
        mapPoints(run.subspan(next, kRun - next), map, style.xScaleFactor, style.yScaleFactor, x,
                  y);
        for (std::size_t i = 0; i < kRun - next; ++i)
            walkPoint(x[i], y[i]);
        return true;
    };

    constexpr std::size_t kChunk = 2048;
    int mappedX[kChunk];
    int mappedY[kChunk];
    const std::size_t chunk = runsUsable ? RunSummary::kPoints : kChunk;
    bool first = fromStart;
    for (std::size_t b = firstBlock; b < endBlock; ++b) {
        const PointBlock block = points.block(b);
        for (std::size_t from = 0; from < block.size(); from += chunk) {
            if (runsUsable && !first) {
                const std::size_t passed = takeStretches(block, b, from);
                if (passed != 0) {
                    from += passed - chunk; // the loop adds the last chunk
                    continue;
                }
                if (takeEdgeRun(block, b, from))
                    continue;
            }
            mapPenRow();
            const std::size_t base = b * PointArray::kBlockSize + from;
            const std::size_t count = std::min(chunk, block.size() - from);
            mapPoints(block.subspan(from, count), map, style.xScaleFactor, style.yScaleFactor,
                      mappedX, mappedY);
            // While these points are walked, the next chunk's values are fetched from memory.
            const char* ahead = static_cast<const char*>(block.y.address(from + count));
            const std::size_t step =
                block.y.values != nullptr ? sizeof(double) : sizeof(std::int32_t);
            const std::size_t aheadBytes = std::min(chunk, block.size() - from - count) * step;
            // The first point was placed by the engine.
            for (std::size_t k = first ? 1 : 0; k < count; ++k) {
                if (k % 8 == 0 && k * step < aheadBytes)
                    __builtin_prefetch(ahead + k * step);
                if (chainOn) {
                    // The common case at many points per column, kept in registers: the next
                    // vertical segments of the run.
                    int low = hullLow;
                    int high = hullHigh;
                    int last = lastY;
                    const std::size_t start = k;
                    while (k < count && mappedX[k] == chainX && insideRows(mappedY[k]) &&
                           base + k != breakAt) {
                        const int y = mappedY[k];
                        const bool fold = y != last;
                        low = fold ? std::min(low, last) : low;
                        high = fold ? std::max(high, last) : high;
                        last = y;
                        if (trace.symbolOn)
                            addCentre(chainX, y);
                        if (k % 8 == 0 && k * sizeof(double) < aheadBytes)
                            __builtin_prefetch(ahead + k * sizeof(double));
                        ++k;
                    }
                    hullLow = low;
                    hullHigh = high;
                    lastY = last;
                    if (k != start) {
                        prevX = chainX;
                        prevY = last;
                    }
                    if (k == count)
                        break;
                }
                const int x = mappedX[k];
                const int y = mappedY[k];
                if (base + k == breakAt) {
                    closeChain();
                    passBreak();
                } else if (trace.lineOn) {
                    lineTo(x, y);
                }
                if (trace.symbolOn)
                    addCentre(x, y);
                prevX = x;
                prevY = y;
            }
            first = false;
        }
    }
    mapPenRow();
    closeChain();
    flushCentres();
    if (rowSetsUsed)
        rowSets.end();
    penX = prevX;
    penY = prevY;
}

// Both layers are unions of per-segment pieces, so the two halves of a long trace walked point by
// point are collected on the two cores and OR-ed: the second half starts with the pen on the last
// point of the first, exactly where the first half's last segment ends. A walk that passes
// stretches from their summaries costs about the same at any length, less than the hand-over.
void collectTraceInHalves(const Trace& trace, const TraceStyle& style, const plot::Mapping& map,
                          const plot::ClipRect& rect, TraceLayers& layers, int& penX, int& penY) {
    const std::size_t blocks = trace.points.blockCount();
    static const bool twoCores = std::thread::hardware_concurrency() >= 2;
    if (blocks < 2 || !twoCores || summariesUsable(trace, style, map)) {
        collectTrace(trace, style, map, rect, 0, blocks, layers, penX, penY);
        return;
    }
    const std::size_t split = blocks / 2;
    const PointBlock lastOfFirstHalf = trace.points.block(split - 1).last(1);
    int secondPenX = 0;
    int secondPenY = 0;
    mapPoints(lastOfFirstHalf, map, style.xScaleFactor, style.yScaleFactor, &secondPenX,
              &secondPenY);
    TraceLayers second{ColumnMasks(layers.lines.width(), layers.lines.height()),
                       ColumnMasks(layers.centres.width(), layers.centres.height())};
    {
        const SecondCore::Running secondHalf = SecondCore::instance().start([&] {
            collectTrace(trace, style, map, rect, split, blocks, second, secondPenX, secondPenY);
        });
        collectTrace(trace, style, map, rect, 0, split, layers, penX, penY);
    }
    layers.lines.addShifted(second.lines, 0, 0);
    layers.centres.addShifted(second.centres, 0, 0);
    penX = secondPenX;
    penY = secondPenY;
}

} // namespace

bool drawTracesFast(plot::PlotEngine& engine, const std::vector<const Trace*>& traces,
                    const TraceStyle& style) {
    const plot::Mapping& map = engine.mapping();
    if (!engine.worldLinesClipped() || map.xLog || map.yLog)
        return false;
    plot::Canvas& canvas = *engine.canvas();
    if (canvas.pen.width != 1 || canvas.pen.style != plot::PenStyle::Solid ||
        canvas.pen.mode != plot::PenMode::Copy)
        return false;
    for (const Trace* trace : traces)
        if (trace->symbolOn && !symbolShapeDrawable(*trace, style.symbolSize))
            return false;

    const plot::ClipRect rect{map.mapLeft, map.mapLeft + map.mapWidth,
                              map.mapBottom - map.mapHeight, map.mapBottom};
    const int width = canvas.width();
    const int height = canvas.height();

    std::vector<std::unique_ptr<ColumnMasks>> centres;
    TraceLayers layers{ColumnMasks(width, height), ColumnMasks(0, 0)};
    for (const Trace* trace : traces) {
        engine.setPenColour(trace->colour);
        const Point start = trace->points[0];
        // The first point goes through the engine, which also sets any end dot still pending.
        engine.moveTo(start.x * style.xScaleFactor, start.y * style.yScaleFactor);
        int penX = engine.mapX(start.x * style.xScaleFactor);
        int penY = engine.mapY(start.y * style.yScaleFactor);
        layers.lines.clear();
        layers.centres = ColumnMasks(trace->symbolOn ? width : 0, trace->symbolOn ? height : 0);
        collectTraceInHalves(*trace, style, map, rect, layers, penX, penY);
        // The pen ends on the last point, as the per-point drawing leaves it.
        const Point last = trace->points[trace->points.size() - 1];
        engine.moveTo(last.x * style.xScaleFactor, last.y * style.yScaleFactor);
        layers.lines.paint(canvas.image(), plot::toQRgb(trace->colour));
        centres.push_back(std::make_unique<ColumnMasks>(std::move(layers.centres)));
    }

    // The symbols lie on top of all lines of the axis, trace after trace.
    ColumnMasks symbols(width, height);
    for (std::size_t i = 0; i < traces.size(); ++i) {
        const Trace& trace = *traces[i];
        if (!trace.symbolOn || !centres[i]->any())
            continue;
        symbols.clear();
        symbols.addStamped(*centres[i], symbolStencil(trace, style.symbolSize, canvas));
        symbols.paint(canvas.image(), plot::toQRgb(trace.colour));
    }
    return true;
}

} // namespace graph
