// SPDX-License-Identifier: GPL-3.0-or-later
#include "graph/stability_curves.h"

#include <array>

namespace graph {

CurveStyle curveStyle(analysis::Deviation kind) {
    using analysis::Deviation;
    switch (kind) {
    case Deviation::Allan:
        return {plot::kRed, 1};
    case Deviation::ModifiedAllan:
        return {plot::kGreen, 2};
    case Deviation::Hadamard:
        return {plot::kFuchsia, 3};
    case Deviation::Time:
        return {plot::kTeal, 4};
    case Deviation::Total:
        return {plot::kMaroon, 5};
    case Deviation::ModifiedTotal:
        return {plot::kOlive, 6};
    case Deviation::TimeTotal:
        return {plot::kPurple, 5};
    case Deviation::HadamardTotal:
        return {plot::kNavy, 7};
    case Deviation::Theo1:
        return {plot::makeColor(255, 128, 0), 8};
    case Deviation::TheoBR:
        return {plot::kGray, 1};
    case Deviation::TheoH:
        return {plot::makeColor(128, 64, 0), 2};
    case Deviation::Mtie:
        return {plot::makeColor(0, 160, 255), 6};
    case Deviation::TieRms:
        return {plot::makeColor(192, 0, 96), 7};
    }
    return {plot::kRed, 1};
}

plot::Color runColour(std::size_t index) {
    constexpr std::array<plot::Color, 8> kRunColours{
        plot::kRed,
        plot::makeColor(0, 150, 0),
        plot::makeColor(230, 120, 0),
        plot::kFuchsia,
        plot::makeColor(0, 150, 170),
        plot::makeColor(140, 80, 20),
        plot::makeColor(130, 60, 200),
        plot::makeColor(120, 120, 120),
    };
    return kRunColours[index % kRunColours.size()];
}

std::vector<StabilityCurve> stabilityCurves(std::span<const StabilityRun> runs,
                                            analysis::DeviationUnit unit) {
    std::vector<StabilityCurve> curves;
    for (std::size_t r = 0; r < runs.size(); ++r) {
        const StabilityRun& run = runs[r];
        const analysis::DeviationPoint* previous = nullptr;
        for (const analysis::DeviationPoint& point : run.result.points) {
            const analysis::DeviationDescription& description =
                analysis::deviationDescription(point.kind);
            if (description.unit != unit) {
                continue;
            }
            if (previous == nullptr || previous->kind != point.kind) {
                CurveStyle style = curveStyle(point.kind);
                std::string label(description.name);
                if (runs.size() > 1) {
                    style.colour = run.colour.value_or(runColour(r));
                    label = run.name + " " + label;
                }
                curves.push_back({std::move(label), style.colour, style.symbol, {}});
            }
            curves.back().points.push_back(point);
            previous = &point;
        }
    }
    return curves;
}

std::string deviationAxisCaption(analysis::DeviationUnit unit) {
    switch (unit) {
    case analysis::DeviationUnit::Fractional:
        return "deviation (fractional)";
    case analysis::DeviationUnit::Seconds:
        break;
    }
    return "deviation/s";
}

} // namespace graph
