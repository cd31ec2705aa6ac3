// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "analysis/dynamic_allan.h"
#include "app/page.h"
#include "recording/reading_store.h"

#include <cstddef>
#include <memory>
#include <vector>

class QMenu;
class QTimer;

namespace app {

class DynamicPlot;

// The "Dynamic ADEV" page: the overlapping Allan deviation in a window sliding over the run,
// as a heat map of log10 ADEV against the window's middle time and tau, with a colour bar.
//
// Window and step are shares of the run (the menu's choices; by default a tenth of the run and
// 100 steps). An opened measurement is sized once, for all of it. A live run is sized anew each
// time it has doubled since it was last sized, so the picture always spans the whole run with
// 100 to 200 columns: the new analysis catches up on the stored readings in slices while the
// old picture stays on screen, and takes its place once it has caught up.
//
// The event loop is never held long: each turn feeds at most a slice of readings to the
// analysis (a new reading costs the same however long the run), and a paint draws the cells.
// It reads the readings where they are kept, a store of readings; a hidden page does nothing and
// catches up when it shows.
class DynamicPage : public Page {
    Q_OBJECT
public:
    explicit DynamicPage(QWidget* parent = nullptr);
    ~DynamicPage() override;

    QMenu* menu() const { return menu_; }
    DynamicPlot& plot() const { return *plot_; }

    // From now on the readings of this store, live or read back, in place of what the page held.
    void follow(std::shared_ptr<const recording::ReadingTable> readings);
    // The store has gained readings.
    void readingsAdded();

    // How many of the run's readings the analysis being fed has taken.
    std::size_t analysedReadings() const { return fed_; }
    // The columns on screen.
    const std::vector<analysis::DynamicColumn>& shownColumns() const;

signals:
    void connectToggleRequested();

protected:
    void layOut() override;
    void showEvent(QShowEvent* event) override;

private:
    void buildMenu();
    void restart();
    void workSoon();
    void work();
    void showPicture();

    std::shared_ptr<const recording::ReadingTable> readings_;
    std::size_t divisor_ = 10;
    std::size_t steps_ = 100;
    std::size_t sizedFor_ = 0; // the run length the analysis being fed was sized for
    std::shared_ptr<analysis::DynamicAllan> analysis_;
    std::shared_ptr<analysis::DynamicAllan> shown_;
    std::size_t fed_ = 0;
    std::size_t shownColumns_ = 0;

    DynamicPlot* plot_;
    QMenu* menu_;
    QTimer* workTimer_;
};

} // namespace app
