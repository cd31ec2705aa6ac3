#include "app/main_window.h"

#include "app/formats/data_export.h"
#include "graph/xy_plot.h"

namespace app {
namespace {

constexpr char SaveFilter[] = "data file (*.dat)|*.dat|csv file (*.csv)|*.csv";
constexpr char SaveDefaultExt[] = "*.dat";

} // namespace

void TForm1::savedataClick() {
    const auto fileName = dialogs_->ExecuteSaveDialog(SaveFilter, SaveDefaultExt);
    if (!fileName) {
        return;
    }
    const std::string error = SaveData(*fileName, FileExtension(*fileName), *Log, StartTime);
    if (!error.empty()) {
        ShowError(error);
    }
}

void TForm1::unzoom1Click() {
    XY->UnzoomAll();
}

// The copy and the printout take the pixels as they stand on the screen, so the window comes to
// the front and is drawn anew first.
void TForm1::Save1Click() {
    raise();
    activateWindow();
    XY->Invalidate();
    repaint();
    XY->CopyToClipboard();
}

void TForm1::Print1Click() {
    if (!dialogs_->ExecutePrinterSetup()) {
        return;
    }
    raise();
    activateWindow();
    XY->Invalidate();
    repaint();
    XY->Print();
}

} // namespace app
