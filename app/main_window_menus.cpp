#include "app/main_window.h"

#include "graph/xy_plot.h"

#include <QListWidget>
#include <QMenu>
#include <QTableView>

namespace app {
namespace {

// Menu captions are taken literally: no character of them marks an accelerator.
QString Caption(const char* text) {
    return QString::fromLatin1(text).replace(QLatin1Char('&'), QLatin1String("&&"));
}

template <typename Handler> QAction* AddEntry(QMenu* menu, const char* text, Handler handler) {
    QAction* action = menu->addAction(Caption(text));
    QObject::connect(action, &QAction::triggered, menu, handler);
    return action;
}

QMenu* AddSubMenu(QMenu* menu, const char* text) {
    return menu->addMenu(Caption(text));
}

} // namespace

void TForm1::CreateMenus() {
    CreatePopupSave();
    CreatePopupGraph();
    CreatePopupDisplay();
    CreatePopupCommands();
    AttachPopup(LB, PopupSave);
    AttachPopup(XY, PopupGraph);
    AttachPopup(TabDisplay, PopupDisplay);
    AttachPopup(TabConsole, PopupCommands);
    AttachPopup(LBC, PopupCommands);
}

void TForm1::AttachPopup(QWidget* widget, QMenu* menu) {
    widget->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(widget, &QWidget::customContextMenuRequested, menu,
            [widget, menu](const QPoint& at) { menu->popup(widget->mapToGlobal(at)); });
}

void TForm1::CreatePopupSave() {
    PopupSave = new QMenu(this);
    AddEntry(PopupSave, "save data to file", [this] { savedataClick(); });
}

void TForm1::CreatePopupGraph() {
    PopupGraph = new QMenu(this);
    QMenu* time = AddSubMenu(PopupGraph, "Time unit");
    AddEntry(time, "seconds", [this] { seconds1Click(); });
    AddEntry(time, "minutes", [this] { minutes1Click(); });
    AddEntry(time, "hours", [this] { hours1Click(); });
    QMenu* frequency = AddSubMenu(PopupGraph, "Frequency unit");
    AddEntry(frequency, "Hz", [this] { Hz1Click(); });
    AddEntry(frequency, "kHz", [this] { kHz1Click(); });
    AddEntry(frequency, "MHz", [this] { MHz1Click(); });
    AddEntry(frequency, "GHz", [this] { GHz1Click(); });
    PopupGraph->addSeparator();
    AddEntry(PopupGraph, "Clear", [this] { Clear1Click(); });
    AddEntry(PopupGraph, "Unzoom", [this] { unzoom1Click(); });
    AddEntry(PopupGraph, "Copy graph to clipboard", [this] { Save1Click(); });
    AddEntry(PopupGraph, "Print", [this] { Print1Click(); });
    PopupGraph->addSeparator();
    AddEntry(PopupGraph, "Connect/Disconnect", [this] { ConnectDisconnect1Click(); });
}

void TForm1::CreatePopupDisplay() {
    PopupDisplay = new QMenu(this);
    AddEntry(PopupDisplay, "Connect/Disconnect", [this] { ConnectDisconnect1Click(); });
}

void TForm1::CreatePopupCommands() {
    PopupCommands = new QMenu(this);
    QMenu* measure = AddSubMenu(PopupCommands, "Measure");
    AddEntry(measure, "single", [this] { single1Click(); });
    AddEntry(measure, "continuous", [this] { continuous1Click(); });
    AddEntry(measure, "stop", [this] { stop1Click(); });
    QMenu* gate = AddSubMenu(PopupCommands, "Gate Time");
    AddEntry(gate, "1s", [this] { N1s1Click(); });
    AddEntry(gate, "0.1s", [this] { N01s1Click(); });
    QMenu* average = AddSubMenu(PopupCommands, "Average");
    AddEntry(average, "ON", [this] { ON1Click(); });
    AddEntry(average, "OFF", [this] { OFF1Click(); });
    QMenu* mode = AddSubMenu(PopupCommands, "Mode");
    AddEntry(mode, "Frequency", [this] { Frequency1Click(); });
    AddEntry(mode, "Period", [this] { Period1Click(); });
    AddEntry(mode, "Offset", [this] { Offset1Click(); });
    QMenu* telegram = AddSubMenu(PopupCommands, "COM Telegram");
    AddEntry(telegram, "display dump", [this] { LCDdump1Click(); });
    AddEntry(telegram, "Hertz value", [this] { Hertzvalue1Click(); });
    AddEntry(PopupCommands, "Transmit Interval <value>", [this] { ransmitIntervalvalue1Click(); });
    QMenu* prescaler = AddSubMenu(PopupCommands, "Prescaler");
    AddEntry(prescaler, "BNC <value>", [this] { BNCvalue1Click(); });
    AddEntry(prescaler, "SMA <value>", [this] { SMAvalue1Click(); });
    PopupCommands->addSeparator();
    AddEntry(PopupCommands, "Info", [this] { Status1Click(); });
    AddEntry(PopupCommands, "ESC Command <value>", [this] { ESCCommandvalue1Click(); });
    PopupCommands->addSeparator();
    AddEntry(PopupCommands, "Connect/Disconnect", [this] { ConnectDisconnect1Click(); });
}

} // namespace app
