// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/main_window.h"

#include "app/graph_page.h"
#include "app/popup_menu.h"
#include "app/stability_page.h"
#include "app/stability_plot.h"
#include "graph/view_pictures.h"
#include "graph/xy_plot.h"
#include "platform/replacing_file.h"

#include <QAction>

namespace app {

void MainWindow::offerPictures() {
    connect(insertMenuEntryBeforeLastGroup(graphPage_->menu(), "Save picture..."),
            &QAction::triggered, this, [this] { savePicture({graphPage_->plot()}); });
    // The page's plots as they stand: one per unit of the deviations shown.
    connect(insertMenuEntryBeforeLastGroup(stabilityPage_->menu(), "Save picture..."),
            &QAction::triggered, this, [this] {
                std::vector<graph::PlotView*> shown;
                for (StabilityPlot* plot :
                     {&stabilityPage_->fractionalPlot(), &stabilityPage_->secondsPlot()}) {
                    if (!plot->isHidden()) {
                        shown.push_back(plot);
                    }
                }
                savePicture(shown);
            });
}

void MainWindow::savePicture(const std::vector<graph::PlotView*>& plots) {
    if (plots.empty()) {
        return;
    }
    const auto choice = dialogs_->choosePicture(graph::sizeOnScreen(plots));
    if (!choice) {
        return;
    }
    const auto format = graph::pictureFormatOf(choice->fileName);
    if (!format) {
        showError("A picture is saved as .png, .svg or .pdf");
        return;
    }
    const std::vector<graph::PicturePart> parts = graph::placeInPicture(plots, choice->size);
    const QByteArray bytes = graph::pictureBytes(parts, *format, choice->size);
    platform::ReplacingFile file(choice->fileName);
    std::string error = bytes.isEmpty() ? "the picture could not be drawn" : file.open();
    if (error.empty() && file.write({bytes.constData(), static_cast<std::size_t>(bytes.size())})) {
        error = file.commit();
    }
    if (error.empty()) {
        error = file.error();
    }
    if (!error.empty()) {
        showError("The picture was not saved: " + error);
    }
}

} // namespace app
