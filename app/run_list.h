// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "analysis/compared_values.h"
#include "counter/reading.h"
#include "plot/colors.h"
#include "recording/reading_store.h"

#include <QObject>
#include <cstddef>
#include <memory>
#include <string>
#include <vector>

namespace app {

// One measurement the window holds: the live one, or one read back from a file.
struct Run {
    std::string name; // UTF-8: the file name, or the port and the start time
    std::shared_ptr<recording::ReadingStore> readings;
    counter::Quantity quantity = counter::Quantity::Frequency;
    double startTime = 0; // wall-clock date-time (days) of its start; 0 where unknown
    bool live = false;    // the connection's own, also once it ended
    plot::Color colour = plot::kRed;
    bool visible = true;
};

// The runs the pages show side by side. Run 0 is the measurement the log, the display and the
// graph's trace 0 show (the live one, or the one opened when none was shown); the others were
// opened beside it. Each keeps its colour while it is held.
class RunList : public QObject {
    Q_OBJECT
public:
    explicit RunList(QObject* parent = nullptr);

    const std::vector<Run>& runs() const { return runs_; }
    // Several runs: the pages compare them.
    bool comparing() const { return runs_.size() > 1; }

    // Run 0 becomes this one, in the colour run 0 had; where `keepShown`, run 0 stays, as the
    // second run, and the new one takes a colour of its own.
    void setShown(Run run, bool keepShown = false);
    // Beside the others, in a colour no other run has.
    void add(Run run);
    void setVisible(std::size_t index, bool visible);
    // Where run 0 goes, the next one takes its place.
    void remove(std::size_t index);
    // The index of the run of these readings, or runs().size().
    std::size_t indexOf(const recording::ReadingTable* readings) const;

    // How the Graph page shows the runs where it compares them.
    analysis::Comparison comparison() const { return comparison_; }
    void setComparison(analysis::Comparison comparison);

signals:
    void changed();
    // The user asks to close the run at `index` (run 0 only where it is not live).
    void closeRequested(std::size_t index);

private:
    plot::Color freeColour() const;

    std::vector<Run> runs_;
    analysis::Comparison comparison_ = analysis::Comparison::OffsetFromNominal;
};

} // namespace app
