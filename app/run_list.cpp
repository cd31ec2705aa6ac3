// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/run_list.h"

#include "graph/stability_curves.h"

#include <algorithm>

namespace app {

RunList::RunList(QObject* parent) : QObject(parent) {}

void RunList::setShown(Run run, bool keepShown) {
    if (runs_.empty() || keepShown) {
        run.colour = freeColour();
        runs_.insert(runs_.begin(), std::move(run));
    } else {
        run.colour = runs_.front().colour;
        runs_.front() = std::move(run);
    }
    emit changed();
}

void RunList::add(Run run) {
    run.colour = freeColour();
    runs_.push_back(std::move(run));
    emit changed();
}

void RunList::setVisible(std::size_t index, bool visible) {
    if (index < runs_.size() && runs_[index].visible != visible) {
        runs_[index].visible = visible;
        emit changed();
    }
}

void RunList::remove(std::size_t index) {
    if (index < runs_.size()) {
        runs_.erase(runs_.begin() + static_cast<std::ptrdiff_t>(index));
        emit changed();
    }
}

std::size_t RunList::indexOf(const recording::ReadingTable* readings) const {
    const auto found = std::find_if(runs_.begin(), runs_.end(), [readings](const Run& run) {
        return run.readings.get() == readings;
    });
    return static_cast<std::size_t>(found - runs_.begin());
}

void RunList::setComparison(analysis::Comparison comparison) {
    if (comparison_ != comparison) {
        comparison_ = comparison;
        emit changed();
    }
}

// The first of the palette that no run has, so a closed run's colour goes to the next opened.
plot::Color RunList::freeColour() const {
    for (std::size_t i = 0;; ++i) {
        const plot::Color colour = graph::runColour(i);
        const bool taken = std::any_of(runs_.begin(), runs_.end(),
                                       [colour](const Run& run) { return run.colour == colour; });
        if (!taken || i >= runs_.size()) {
            return colour;
        }
    }
}

} // namespace app
