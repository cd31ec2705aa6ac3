// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "plot/heat_map.h"

#include <QImage>
#include <QWidget>
#include <vector>

namespace app {

// The heat map of the "Dynamic ADEV" page: a picture drawn by the plotting engine at the
// control's size whenever it paints, from the columns last handed over. A paint costs the
// cells, never the readings behind them.
class DynamicPlot : public QWidget {
    Q_OBJECT
public:
    explicit DynamicPlot(QWidget* parent = nullptr);

    void showColumns(std::vector<plot::HeatColumn> columns, plot::HeatMapLook look);
    // The picture as last painted.
    const QImage& picture() const { return picture_.image(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::vector<plot::HeatColumn> columns_;
    plot::HeatMapLook look_;
    plot::HeatMapPicture picture_;
};

} // namespace app
