// SPDX-License-Identifier: GPL-3.0-or-later
#include "graph/legend.h"

#include "plot/symbols.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <vector>

namespace graph {
namespace {

// Legend geometry in pixels.
constexpr int kLegendInset = 6;
constexpr int kLegendPadding = 4;
constexpr int kLegendSample = 24;

std::string fittedLabel(plot::Canvas& canvas, const std::string& label, int room) {
    if (canvas.textWidth(label) <= room) {
        return label;
    }
    const std::size_t lastWord = label.rfind(' ');
    std::string head = label.substr(0, lastWord == std::string::npos ? label.size() : lastWord);
    const std::string tail = label.substr(head.size());
    while (!head.empty() && canvas.textWidth(head + "..." + tail) > room) {
        head.pop_back();
    }
    return head + "..." + tail;
}

QRect legendBox(const plot::Mapping& area, QSize size,
                const std::function<long(const QRect&)>& covered) {
    const int left = area.mapLeft + kLegendInset;
    const int right = area.mapLeft + area.mapWidth - kLegendInset - size.width();
    const int top = area.mapBottom - area.mapHeight + kLegendInset;
    const int bottom = area.mapBottom - kLegendInset - size.height();
    if (!covered) {
        return {QPoint(right, top), size};
    }
    QRect best;
    long fewest = std::numeric_limits<long>::max();
    for (const QPoint corner :
         {QPoint(right, top), QPoint(right, bottom), QPoint(left, bottom), QPoint(left, top)}) {
        const QRect box(corner, size);
        const long count =
            covered(box.adjusted(-kLegendInset, -kLegendInset, kLegendInset, kLegendInset));
        if (count < fewest) {
            fewest = count;
            best = box;
        }
    }
    return best;
}

} // namespace

void drawLegend(plot::Canvas& canvas, const plot::Mapping& area,
                std::span<const LegendEntry> entries, plot::Color ground, int symbolSize,
                const std::function<long(const QRect&)>& covered) {
    if (entries.empty()) {
        return;
    }
    const int lineHeight = canvas.textHeight("Xg");
    const int room = area.mapWidth - 2 * kLegendInset - 3 * kLegendPadding - kLegendSample;
    std::vector<std::string> labels;
    int textWidth = 0;
    for (const LegendEntry& entry : entries) {
        labels.push_back(fittedLabel(canvas, entry.label, room));
        textWidth = std::max(textWidth, canvas.textWidth(labels.back()));
    }
    const int boxWidth = 3 * kLegendPadding + kLegendSample + textWidth;
    const int boxHeight = 2 * kLegendPadding + lineHeight * static_cast<int>(entries.size());
    const QRect box = legendBox(area, {boxWidth, boxHeight}, covered);
    canvas.pen = plot::Pen{.color = plot::kBlack};
    canvas.brush = plot::Brush{.color = ground};
    canvas.rectangle(box.left(), box.top(), box.right() + 1, box.bottom() + 1);
    int y = box.top() + kLegendPadding;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const LegendEntry& entry = entries[i];
        const int middle = y + lineHeight / 2;
        const int sampleLeft = box.left() + kLegendPadding;
        canvas.pen = plot::Pen{.color = entry.colour};
        for (int row : {middle - 1, middle}) {
            canvas.moveTo(sampleLeft, row);
            canvas.lineTo(sampleLeft + kLegendSample, row);
        }
        plot::drawSymbolRecord(canvas,
                               {.x = sampleLeft + kLegendSample / 2,
                                .y = middle,
                                .kind = static_cast<std::uint16_t>(entry.symbol),
                                .size = static_cast<std::uint16_t>(symbolSize),
                                .fill = 0,
                                .penWidth = 1,
                                .colour = entry.colour},
                               ground);
        canvas.textOut(sampleLeft + kLegendSample + kLegendPadding, y, labels[i]);
        y += lineHeight;
    }
}

} // namespace graph
