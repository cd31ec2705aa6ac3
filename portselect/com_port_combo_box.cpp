#include "portselect/com_port_combo_box.h"
#include "platform/ascii_case.h"

#include "platform/port_catalog.h"
#include "portselect/port_discovery.h"

#include <QAction>
#include <QFont>
#include <QFontDatabase>
#include <QMenu>

#include <algorithm>
#include <cctype>

namespace {

const char* const ColumnCaptions[] = {"Port", "Port Type", "Friendly Port Name", "Bluetooth Name"};
const char* const KindCaptions[] = {"Generic", "USB", "Bluetooth", "Bluetooth-In", "Com0Com"};

// Second column, nine characters each so the columns after it line up.
std::string KindText(std::uint8_t kind) {
    switch (kind) {
    case KindGeneric:
        return "generic  ";
    case KindUSB:
        return "USB      ";
    case KindBluetooth:
    case KindBluetoothIn:
        return "Bluetooth";
    case KindCom0Com:
        return "COM0COM  ";
    default:
        return "         ";
    }
}

QString Utf8(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QFont FixedPitchFont() {
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setFamilies({"Liberation Mono", font.family()});
    font.setStyleHint(QFont::Monospace);
    font.setFixedPitch(true);
    return font;
}

// Qt reads "&" in a menu caption as an accelerator marker; the captions carry none and get none.
QAction* AddMenuItem(QMenu* menu, const char* caption, bool checkable) {
    QAction* action = menu->addAction(QString::fromLatin1(caption));
    action->setCheckable(checkable);
    action->setChecked(checkable);
    return action;
}

} // namespace

TComPortComboBox::TComPortComboBox(QWidget* owner, PortSource source)
    : QComboBox(owner), source_(std::move(source)) {
    // Picking from the list is the only way to choose; a typed text would name no port.
    setEditable(false);
    setFont(FixedPitchFont());
    connect(this, &QComboBox::activated, this, &TComPortComboBox::ComboChange);
    BuildPopupMenu();
    RefreshPorts();
}

void TComPortComboBox::BuildPopupMenu() {
    popupMenu_ = new QMenu(this);
    QMenu* display = popupMenu_->addMenu(QStringLiteral("Display Properties"));
    for (std::size_t i = 0; i < columnItems_.size(); ++i) {
        columnItems_[i] = AddMenuItem(display, ColumnCaptions[i], true);
        connect(columnItems_[i], &QAction::triggered, this, [this] { ApplyMenu(); });
    }
    display->addSeparator();
    connect(AddMenuItem(display, "ALL", false), &QAction::triggered, this,
            [this] { SetAllChecked(true, true); });
    connect(AddMenuItem(display, "NONE", false), &QAction::triggered, this,
            [this] { SetAllChecked(true, false); });

    QMenu* filter = popupMenu_->addMenu(QStringLiteral("Filter Ports"));
    for (std::size_t i = 0; i < kindItems_.size(); ++i) {
        kindItems_[i] = AddMenuItem(filter, KindCaptions[i], true);
        connect(kindItems_[i], &QAction::triggered, this, [this] { ApplyMenu(); });
    }
    filter->addSeparator();
    connect(AddMenuItem(filter, "ALL", false), &QAction::triggered, this,
            [this] { SetAllChecked(false, true); });
    connect(AddMenuItem(filter, "NONE", false), &QAction::triggered, this,
            [this] { SetAllChecked(false, false); });

    popupMenu_->addSeparator();
    connect(AddMenuItem(popupMenu_, "Refresh", false), &QAction::triggered, this,
            [this] { ApplyMenu(); });

    setContextMenuPolicy(Qt::CustomContextMenu);
    connect(this, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { popupMenu_->popup(mapToGlobal(pos)); });
}

void TComPortComboBox::SetAllChecked(bool columns, bool checked) {
    if (columns) {
        for (QAction* item : columnItems_) {
            item->setChecked(checked);
        }
    } else {
        for (QAction* item : kindItems_) {
            item->setChecked(checked);
        }
    }
    ApplyMenu();
}

void TComPortComboBox::ApplyMenu() {
    std::uint8_t show = 0;
    for (std::size_t i = 0; i < columnItems_.size(); ++i) {
        if (columnItems_[i]->isChecked()) {
            show |= static_cast<std::uint8_t>(1u << i);
        }
    }
    std::uint8_t type = 0;
    for (std::size_t i = 0; i < kindItems_.size(); ++i) {
        if (kindItems_[i]->isChecked()) {
            type |= static_cast<std::uint8_t>(1u << i);
        }
    }
    filterShow_ = show;
    filterType_ = type;
    RefreshPorts();
}

void TComPortComboBox::SetPort(const std::string& port) {
    port_ = port;
    RefreshPorts();
}

void TComPortComboBox::SetFilterShow(std::uint8_t mask) {
    filterShow_ = mask;
    for (std::size_t i = 0; i < columnItems_.size(); ++i) {
        columnItems_[i]->setChecked((mask >> i) & 1u);
    }
    RefreshPorts();
}

void TComPortComboBox::SetFilterType(std::uint8_t mask) {
    filterType_ = mask;
    for (std::size_t i = 0; i < kindItems_.size(); ++i) {
        kindItems_[i]->setChecked((mask >> i) & 1u);
    }
    RefreshPorts();
}

void TComPortComboBox::RefreshPorts() {
    AllPorts =
        portselect::discoverPorts(source_ ? source_() : platform::systemPortCatalog()->ports());
    FillList();
}

std::string TComPortComboBox::ItemText(const TCOM& port) const {
    std::string text;
    if (filterShow_ & 1u) {
        std::string name = port.Name;
        if (name.size() < 6) {
            name.resize(6, ' ');
        }
        text += name + "  ";
    }
    if (filterShow_ & 2u) {
        text += KindText(port.Kind) + "  ";
    }
    if (filterShow_ & 4u) {
        text += port.FriendlyName + "  ";
    }
    if (filterShow_ & 8u) {
        text += port.BluetoothName;
    }
    return text;
}

void TComPortComboBox::FillList() {
    clear();
    ShownPorts.clear();
    for (const TCOM& port : AllPorts) {
        if (port.Kind < 8 && ((filterType_ >> port.Kind) & 1u)) {
            ShownPorts.push_back(port);
        }
    }
    int selection = 0;
    const std::string wanted = platform::asciiLower(port_);
    for (std::size_t i = 0; i < ShownPorts.size(); ++i) {
        addItem(Utf8(ItemText(ShownPorts[i])));
        if (platform::asciiLower(ShownPorts[i].Name) == wanted) {
            selection = static_cast<int>(i);
        }
    }
    if (ShownPorts.empty()) {
        setToolTip(QString());
        return;
    }
    setCurrentIndex(selection);
    port_ = ShownPorts[static_cast<std::size_t>(selection)].Name;
    ShowHint(ShownPorts[static_cast<std::size_t>(selection)]);
}

void TComPortComboBox::ShowHint(const TCOM& port) {
    setToolTip(port.DeviceNode.empty() ? Utf8(port.FriendlyName)
                                       : Utf8(port.FriendlyName + " (" + port.DeviceNode + ")"));
}

void TComPortComboBox::ComboChange(int index) {
    if (index >= 0 && static_cast<std::size_t>(index) < ShownPorts.size()) {
        port_ = ShownPorts[static_cast<std::size_t>(index)].Name;
        ShowHint(ShownPorts[static_cast<std::size_t>(index)]);
    }
    emit portChanged();
}
