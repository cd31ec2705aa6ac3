// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/main_window.h"

#include "app/graph_page.h"
#include "app/popup_menu.h"
#include "app/stability_page.h"
#include "app/stability_plot.h"
#include "graph/picture_output.h"
#include "platform/replacing_file.h"

#include <QAction>

namespace app {

void MainWindow::offerPictures() {
    const std::pair<QMenu*, graph::XyPlot*> pages[] = {
        {graphPage_->menu(), graphPage_->plot()},
        {stabilityPage_->menu(), &stabilityPage_->plot()},
    };
    for (const auto& [menu, plot] : pages) {
        connect(insertMenuEntryBeforeLastGroup(menu, "Save picture..."), &QAction::triggered, this,
                [this, plot = plot] { savePicture(*plot); });
    }
}

void MainWindow::savePicture(graph::XyPlot& plot) {
    const auto choice = dialogs_->choosePicture(plot.size());
    if (!choice) {
        return;
    }
    const auto format = graph::pictureFormatOf(choice->fileName);
    if (!format) {
        showError("A picture is saved as .png, .svg or .pdf");
        return;
    }
    const QByteArray bytes = graph::pictureBytes(plot, *format, choice->size);
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
