// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/connect_page.h"

#include "app/log_model.h"
#include "app/log_view.h"
#include "app/popup_menu.h"
#include "app/widget_style.h"
#include "counter/instruments.h"
#include "portselect/port_selector.h"

#include <QActionGroup>
#include <QCheckBox>
#include <QMenu>
#include <QPushButton>
#include <algorithm>

namespace app {
namespace {

constexpr int kButtonWidth = 112;
constexpr int kButtonHeight = 33;
constexpr int kSelectorWidth = 645;
constexpr int kGap = 4;

LogView* createLogView(QWidget* parent, LogModel* log) {
    auto* view = new LogView(parent);
    view->setFont(listFont());
    setTextColour(view, Qt::blue);
    view->setModel(log);
    return view;
}

bool samePort(const std::string& a, const std::string& b) {
    return QString::fromUtf8(a).compare(QString::fromUtf8(b), Qt::CaseInsensitive) == 0;
}

} // namespace

ConnectPage::ConnectPage(LogModel* log, QWidget* parent)
    : Page(parent), log_(log), logView_(createLogView(this, log)),
      connectButton_(new QPushButton(QStringLiteral("Connect"), this)),
      portSelector_(new portselect::PortSelector(this)),
      autoIdentifyBox_(
          new QCheckBox(QStringLiteral("auto-identify counter (must be counting!)"), this)),
      logMenu_(new QMenu(this)), instrumentChoices_(new QActionGroup(this)),
      instrument_(&counter::defaultInstrument()) {
    logView_->move(0, 0);
    connectButton_->setCheckable(true);
    connectButton_->setGeometry(kGap, 0, kButtonWidth, kButtonHeight);
    connect(connectButton_, &QPushButton::clicked, this, &ConnectPage::connectRequested);

    portSelector_->setGeometry(connectButton_->geometry().right() + 1 + kGap, 0, kSelectorWidth,
                               portSelector_->sizeHint().height());
    portSelector_->setFilterShow(255);
    portSelector_->setFilterType(255);
    connect(portSelector_, &portselect::PortSelector::portChanged, this,
            [this] { emit portPicked(portSelector_->port()); });

    autoIdentifyBox_->adjustSize();
    autoIdentifyBox_->move(portSelector_->geometry().right() + 1 + kGap, 0);
    autoIdentifyBox_->setChecked(false);
    autoIdentifyBox_->hide();
    buildInstrumentMenu();

    connect(addMenuEntry(logMenu_, "save data to file"), &QAction::triggered, this,
            &ConnectPage::saveRequested);
    connect(addMenuEntry(logMenu_, "Open measurement..."), &QAction::triggered, this,
            &ConnectPage::openRequested);
    connect(addMenuEntry(logMenu_, "Time-series database..."), &QAction::triggered, this,
            &ConnectPage::databaseRequested);
    attachPopup(logView_, logMenu_);
    connect(log_, &QAbstractItemModel::rowsInserted, this, &ConnectPage::scrollToNewest);
}

// The instrument goes with the port: both are chosen in the selector, the instrument in a
// submenu at the end of its menu.
void ConnectPage::buildInstrumentMenu() {
    QMenu* menu = portSelector_->popupMenu();
    menu->addSeparator();
    QMenu* choices = addSubMenu(menu, "Instrument");
    for (const counter::Instrument* instrument : counter::instruments()) {
        QAction* entry = addMenuEntry(choices, std::string(instrument->caption()).c_str());
        entry->setCheckable(true);
        entry->setChecked(instrument == instrument_);
        entry->setData(QString::fromUtf8(instrument->name().data(),
                                         static_cast<int>(instrument->name().size())));
        instrumentChoices_->addAction(entry);
        connect(entry, &QAction::triggered, this, [this, instrument] {
            instrument_ = instrument;
            emit instrumentPicked(*instrument);
        });
    }
}

void ConnectPage::chooseInstrument(const counter::Instrument& instrument) {
    instrument_ = &instrument;
    for (QAction* entry : instrumentChoices_->actions()) {
        entry->setChecked(entry->data().toString().toStdString() == instrument.name());
    }
}

BottomRow ConnectPage::bottomRow() const {
    return {connectButton_->height(), portSelector_->height(), autoIdentifyBox_->height()};
}

std::string ConnectPage::selectedPort() const {
    return portSelector_->port();
}

void ConnectPage::choosePort(const std::string& port) {
    portSelector_->setPort(port);
}

PortFilters ConnectPage::portFilters() const {
    return {portSelector_->filterShow(), portSelector_->filterType()};
}

void ConnectPage::setPortFilters(const PortFilters& filters) {
    portSelector_->setFilterShow(static_cast<std::uint8_t>(filters.show));
    portSelector_->setFilterType(static_cast<std::uint8_t>(filters.type));
}

bool ConnectPage::autoIdentify() const {
    return autoIdentifyBox_->isChecked();
}

void ConnectPage::showConnected(const std::string& port) {
    // The selector shows the connected port without choosing it: its port stays as the user
    // left it. A port found by a scan may have come after the list was made, and nothing was
    // chosen then: the selector lists the ports afresh and chooses it.
    const auto& shown = portSelector_->shownPorts;
    const auto at = std::find_if(shown.begin(), shown.end(), [&port](const auto& listed) {
        return samePort(listed.name, port);
    });
    if (at != shown.end()) {
        portSelector_->setCurrentIndex(static_cast<int>(at - shown.begin()));
    } else {
        portSelector_->setPort(port);
    }
    connectButton_->setText(QStringLiteral("Disconnect"));
}

void ConnectPage::showDisconnected() {
    connectButton_->setChecked(false);
    connectButton_->setText(QStringLiteral("Connect"));
}

void ConnectPage::toggleConnection() {
    connectButton_->click();
}

void ConnectPage::layOut() {
    const ConnectPageLayout at = connectPageLayout(height(), bottomRow());
    connectButton_->move(connectButton_->x(), at.buttonTop);
    // A narrow window shortens the list rather than cut off its arrow.
    portSelector_->setGeometry(portSelector_->x(), at.selectorTop,
                               std::min(kSelectorWidth, width() - portSelector_->x() - kGap),
                               portSelector_->height());
    logView_->resize(width(), std::max(0, at.logHeight));
    autoIdentifyBox_->move(autoIdentifyBox_->x(), at.checkBoxTop);
}

// Scrolling once per turn of the event loop, not once per reading, keeps a burst of readings
// from costing a scroll each.
void ConnectPage::scrollToNewest() {
    if (scrollPending_) {
        return;
    }
    scrollPending_ = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            scrollPending_ = false;
            logView_->scrollToRow(log_->rowCount() - 1);
        },
        Qt::QueuedConnection);
}

} // namespace app
