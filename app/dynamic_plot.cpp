// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/dynamic_plot.h"

#include <QPainter>

namespace app {

DynamicPlot::DynamicPlot(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void DynamicPlot::showColumns(std::vector<plot::HeatColumn> columns, plot::HeatMapLook look) {
    columns_ = std::move(columns);
    look_ = std::move(look);
    update(); // Qt paints once per screen refresh however often this comes
}

void DynamicPlot::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawImage(0, 0, picture_.draw(columns_, look_, width(), height()));
}

} // namespace app
