#include "app/connect_page.h"

#include "app/log_model.h"
#include "app/popup_menu.h"
#include "app/widget_style.h"
#include "portselect/com_port_combo_box.h"

#include <QCheckBox>
#include <QFontMetrics>
#include <QHeaderView>
#include <QMenu>
#include <QPushButton>
#include <QTableView>
#include <algorithm>

namespace app {
namespace {

constexpr int kButtonWidth = 112;
constexpr int kButtonHeight = 33;
constexpr int kSelectorWidth = 645;
constexpr int kGap = 4;

// The log as a one-column table without headers or grid, every row one line high: it looks like
// a list, and unlike a list view it does not lay out every line again for each line appended,
// so a million lines append and scroll as fast as ten.
QTableView* createLogView(QWidget* parent, LogModel* log) {
    auto* view = new QTableView(parent);
    view->setModel(log);
    view->setFont(listFont());
    setTextColour(view, Qt::blue);
    view->setShowGrid(false);
    view->setWordWrap(false);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->horizontalHeader()->hide();
    view->horizontalHeader()->setStretchLastSection(true);
    QHeaderView* rows = view->verticalHeader();
    rows->hide();
    rows->setMinimumSectionSize(1);
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setDefaultSectionSize(QFontMetrics(view->font()).height() + 2);
    return view;
}

bool samePort(const std::string& a, const std::string& b) {
    return QString::fromUtf8(a).compare(QString::fromUtf8(b), Qt::CaseInsensitive) == 0;
}

} // namespace

ConnectPage::ConnectPage(LogModel* log, QWidget* parent)
    : Page(parent), log_(log), logView_(createLogView(this, log)),
      connectButton_(new QPushButton(QStringLiteral("Connect"), this)),
      portSelector_(new TComPortComboBox(this)),
      autoIdentifyBox_(
          new QCheckBox(QStringLiteral("auto-identify counter (must be counting!)"), this)),
      logMenu_(new QMenu(this)) {
    logView_->move(0, 0);
    connectButton_->setCheckable(true);
    connectButton_->setGeometry(kGap, 0, kButtonWidth, kButtonHeight);
    connect(connectButton_, &QPushButton::clicked, this, &ConnectPage::connectRequested);

    portSelector_->setGeometry(connectButton_->geometry().right() + 1 + kGap, 0, kSelectorWidth,
                               portSelector_->sizeHint().height());
    portSelector_->SetFilterShow(255);
    portSelector_->SetFilterType(255);
    connect(portSelector_, &TComPortComboBox::portChanged, this,
            [this] { emit portPicked(portSelector_->Port()); });

    autoIdentifyBox_->adjustSize();
    autoIdentifyBox_->move(portSelector_->geometry().right() + 1 + kGap, 0);
    autoIdentifyBox_->setChecked(false);
    autoIdentifyBox_->hide();

    connect(addMenuEntry(logMenu_, "save data to file"), &QAction::triggered, this,
            &ConnectPage::saveRequested);
    connect(addMenuEntry(logMenu_, "Open measurement..."), &QAction::triggered, this,
            &ConnectPage::openRequested);
    attachPopup(logView_, logMenu_);
    connect(log_, &QAbstractItemModel::rowsInserted, this, &ConnectPage::scrollToNewest);
}

BottomRow ConnectPage::bottomRow() const {
    return {connectButton_->height(), portSelector_->height(), autoIdentifyBox_->height()};
}

std::string ConnectPage::selectedPort() const {
    return portSelector_->Port();
}

void ConnectPage::choosePort(const std::string& port) {
    portSelector_->SetPort(port);
}

PortFilters ConnectPage::portFilters() const {
    return {portSelector_->FilterShow(), portSelector_->FilterType()};
}

void ConnectPage::setPortFilters(const PortFilters& filters) {
    portSelector_->SetFilterShow(static_cast<std::uint8_t>(filters.show));
    portSelector_->SetFilterType(static_cast<std::uint8_t>(filters.type));
}

bool ConnectPage::autoIdentify() const {
    return autoIdentifyBox_->isChecked();
}

void ConnectPage::showConnected(const std::string& port) {
    // The selector shows the connected port without choosing it: its port stays as the user
    // left it. A port found by a scan may have come after the list was made, and nothing was
    // chosen then: the selector lists the ports afresh and chooses it.
    const auto& shown = portSelector_->ShownPorts;
    const auto at = std::find_if(shown.begin(), shown.end(), [&port](const auto& listed) {
        return samePort(listed.Name, port);
    });
    if (at != shown.end()) {
        portSelector_->setCurrentIndex(static_cast<int>(at - shown.begin()));
    } else {
        portSelector_->SetPort(port);
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
    portSelector_->move(portSelector_->x(), at.selectorTop);
    logView_->resize(width(), std::max(0, at.logHeight));
    autoIdentifyBox_->move(autoIdentifyBox_->x(), at.checkBoxTop);
}

// The view lays out all its lines before it can scroll; scrolling once per turn of the event
// loop, not once per reading, keeps a burst of readings from costing a layout each.
void ConnectPage::scrollToNewest() {
    if (scrollPending_) {
        return;
    }
    scrollPending_ = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            scrollPending_ = false;
            if (log_->count() > 0) {
                logView_->scrollTo(log_->index(log_->count() - 1),
                                   QAbstractItemView::PositionAtTop);
            }
        },
        Qt::QueuedConnection);
}

} // namespace app
