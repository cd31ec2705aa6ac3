// SPDX-License-Identifier: GPL-3.0-or-later
#include "portselect/port_selector.h"
#include "platform/ascii_case.h"

#include "platform/port_catalog.h"
#include "portselect/port_discovery.h"
#include "portselect/port_kinds.h"

#include <QAction>
#include <QFont>
#include <QFontDatabase>
#include <QMenu>

#include <algorithm>
#include <cctype>

namespace portselect {

namespace {

const char* const kColumnCaptions[] = {"Port", "Port Type", "Friendly Port Name", "Bluetooth Name"};

// Second column, nine characters each so the columns after it line up.
std::string kindText(std::uint8_t kind) {
    std::string text(9, ' ');
    if (kind < portKindNames().size()) {
        text.replace(0, portKindNames()[kind].listText.size(), portKindNames()[kind].listText);
    }
    return text;
}

QString utf8(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QFont fixedPitchFont() {
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setFamilies({"Liberation Mono", font.family()});
    font.setStyleHint(QFont::Monospace);
    font.setFixedPitch(true);
    return font;
}

// Qt reads "&" in a menu caption as an accelerator marker; the captions carry none and get none.
QAction* addMenuItem(QMenu* menu, std::string_view caption, bool checkable) {
    QAction* action = menu->addAction(
        QString::fromLatin1(caption.data(), static_cast<qsizetype>(caption.size())));
    action->setCheckable(checkable);
    action->setChecked(checkable);
    return action;
}

} // namespace

PortSelector::PortSelector(QWidget* owner, PortSource source)
    : QComboBox(owner), source_(std::move(source)) {
    // Picking from the list is the only way to choose; a typed text would name no port.
    setEditable(false);
    setFont(fixedPitchFont());
    connect(this, &QComboBox::activated, this, &PortSelector::handleItemPicked);
    buildPopupMenu();
    refreshPorts();
}

void PortSelector::buildPopupMenu() {
    popupMenu_ = new QMenu(this);
    QMenu* display = popupMenu_->addMenu(QStringLiteral("Display Properties"));
    for (std::size_t i = 0; i < columnItems_.size(); ++i) {
        columnItems_[i] = addMenuItem(display, kColumnCaptions[i], true);
        connect(columnItems_[i], &QAction::triggered, this, [this] { applyMenu(); });
    }
    display->addSeparator();
    connect(addMenuItem(display, "ALL", false), &QAction::triggered, this,
            [this] { setAllChecked(true, true); });
    connect(addMenuItem(display, "NONE", false), &QAction::triggered, this,
            [this] { setAllChecked(true, false); });

    QMenu* filter = popupMenu_->addMenu(QStringLiteral("Filter Ports"));
    for (std::size_t i = 0; i < kindItems_.size(); ++i) {
        kindItems_[i] = addMenuItem(filter, portKindNames()[i].filterCaption, true);
        connect(kindItems_[i], &QAction::triggered, this, [this] { applyMenu(); });
    }
    filter->addSeparator();
    connect(addMenuItem(filter, "ALL", false), &QAction::triggered, this,
            [this] { setAllChecked(false, true); });
    connect(addMenuItem(filter, "NONE", false), &QAction::triggered, this,
            [this] { setAllChecked(false, false); });

    popupMenu_->addSeparator();
    connect(addMenuItem(popupMenu_, "Refresh", false), &QAction::triggered, this,
            [this] { applyMenu(); });

    setContextMenuPolicy(Qt::CustomContextMenu);
    connect(this, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { popupMenu_->popup(mapToGlobal(pos)); });
}

void PortSelector::setAllChecked(bool columns, bool checked) {
    if (columns) {
        for (QAction* item : columnItems_) {
            item->setChecked(checked);
        }
    } else {
        for (QAction* item : kindItems_) {
            item->setChecked(checked);
        }
    }
    applyMenu();
}

void PortSelector::applyMenu() {
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
    refreshPorts();
}

void PortSelector::setPort(const std::string& port) {
    port_ = port;
    refreshPorts();
}

void PortSelector::setFilterShow(std::uint8_t mask) {
    filterShow_ = mask;
    for (std::size_t i = 0; i < columnItems_.size(); ++i) {
        columnItems_[i]->setChecked((mask >> i) & 1u);
    }
    refreshPorts();
}

void PortSelector::setFilterType(std::uint8_t mask) {
    filterType_ = mask;
    for (std::size_t i = 0; i < kindItems_.size(); ++i) {
        kindItems_[i]->setChecked((mask >> i) & 1u);
    }
    refreshPorts();
}

void PortSelector::refreshPorts() {
    allPorts =
        portselect::discoverPorts(source_ ? source_() : platform::systemPortCatalog()->ports());
    fillList();
}

std::string PortSelector::entryText(const PortEntry& port) const {
    std::string text;
    if (filterShow_ & 1u) {
        std::string name = port.name;
        if (name.size() < 6) {
            name.resize(6, ' ');
        }
        text += name + "  ";
    }
    if (filterShow_ & 2u) {
        text += kindText(port.kind) + "  ";
    }
    if (filterShow_ & 4u) {
        text += port.friendlyName + "  ";
    }
    if (filterShow_ & 8u) {
        text += port.bluetoothName;
    }
    return text;
}

void PortSelector::fillList() {
    clear();
    shownPorts.clear();
    for (const PortEntry& port : allPorts) {
        if (port.kind < 8 && ((filterType_ >> port.kind) & 1u)) {
            shownPorts.push_back(port);
        }
    }
    int selection = 0;
    const std::string wanted = platform::asciiLower(port_);
    for (std::size_t i = 0; i < shownPorts.size(); ++i) {
        addItem(utf8(entryText(shownPorts[i])));
        if (platform::asciiLower(shownPorts[i].name) == wanted) {
            selection = static_cast<int>(i);
        }
    }
    if (shownPorts.empty()) {
        setToolTip(QString());
        return;
    }
    setCurrentIndex(selection);
    port_ = shownPorts[static_cast<std::size_t>(selection)].name;
    showHint(shownPorts[static_cast<std::size_t>(selection)]);
}

void PortSelector::showHint(const PortEntry& port) {
    std::string hint = port.friendlyName;
    if (!port.deviceNode.empty()) {
        hint += " (" + port.deviceNode + ")";
    }
    // The kind as talvek-cli ports names it, which the list's kind column does not.
    setToolTip(utf8(hint + ", kind " + std::string(linuxKindName(port.kind))));
}

void PortSelector::handleItemPicked(int index) {
    if (index >= 0 && static_cast<std::size_t>(index) < shownPorts.size()) {
        port_ = shownPorts[static_cast<std::size_t>(index)].name;
        showHint(shownPorts[static_cast<std::size_t>(index)]);
    }
    emit portChanged();
}

} // namespace portselect
