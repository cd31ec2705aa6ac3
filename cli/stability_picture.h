// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "analysis/deviation.h"
#include "graph/picture_output.h"
#include "graph/stability_curves.h"

#include <QByteArray>
#include <QSize>
#include <span>

namespace cli {

// The runs' deviations of `kinds` as the "Stability" page plots them, in a picture of `size`: the
// fractional ones above those in seconds where both units are chosen, each run in its colour where
// there are several. Empty when it could not be made. Needs a QGuiApplication.
QByteArray stabilityPicture(std::span<const graph::StabilityRun> runs,
                            std::span<const analysis::Deviation> kinds, graph::PictureFormat format,
                            QSize size);

} // namespace cli
