// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/commands_page.h"

#include "app/formats/int_text.h"
#include "app/popup_menu.h"
#include "app/widget_style.h"
#include "counter/driver.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <algorithm>
#include <map>

namespace app {
namespace {

constexpr int kGap = 4;
constexpr char kCr = 13;

// The field's text as the bytes that go on the line, one byte per character.
std::string lineBytes(const QLineEdit* edit) {
    return edit->text().toLatin1().toStdString();
}

} // namespace

CommandsPage::CommandsPage(counter::Driver& driver, QWidget* parent)
    : Page(parent), driver_(driver), replyList_(new QListWidget(this)),
      valueLabel_(new QLabel(QStringLiteral("Value"), this)),
      valueEdit_(new QLineEdit(QStringLiteral("1"), this)), commandMenu_(new QMenu(this)) {
    replyList_->setUniformItemSizes(true);
    replyList_->setFont(listFont());
    setTextColour(replyList_, Qt::blue);
    replyList_->move(0, 0);

    valueLabel_->adjustSize();
    valueLabel_->move(kGap, 0);
    valueEdit_->move(valueLabel_->geometry().right() + 1 + 2 * kGap, 0);
    valueEdit_->resize(valueEdit_->sizeHint());

    showInstrument();
    attachPopup(this, commandMenu_);
    attachPopup(replyList_, commandMenu_);
}

void CommandsPage::showInstrument() {
    commandMenu_->clear();
    buildMenu();
}

void CommandsPage::buildMenu() {
    const auto commands = driver_.instrument().commands();
    std::map<std::string_view, QMenu*> submenus;
    for (const counter::InstrumentCommand& command : commands) {
        if (command.separatorBefore) {
            commandMenu_->addSeparator();
        }
        QMenu* menu = commandMenu_;
        if (!command.submenu.empty()) {
            QMenu*& submenu = submenus[command.submenu];
            if (!submenu) {
                submenu = addSubMenu(commandMenu_, std::string(command.submenu).c_str());
            }
            menu = submenu;
        }
        connect(addMenuEntry(menu, std::string(command.caption).c_str()), &QAction::triggered, this,
                [this, &command] { run(command); });
    }
    if (!commands.empty()) {
        connect(addMenuEntry(commandMenu_, "ESC Command <value>"), &QAction::triggered, this,
                &CommandsPage::sendEscCommand);
        commandMenu_->addSeparator();
    }
    connect(addMenuEntry(commandMenu_, "Connect/Disconnect"), &QAction::triggered, this,
            &CommandsPage::connectToggleRequested);
}

// The reply of a command reaches the list through addReply. A value the user did not enter as a
// whole number is never sent, not even as a stand-in.
void CommandsPage::run(const counter::InstrumentCommand& command) {
    std::optional<std::int32_t> value = 0;
    if (command.takesValue) {
        value = tryStrToInt(lineBytes(valueEdit_));
        if (!value) {
            emit statusMessage("Error: Value is not a number!");
        }
    }
    replyList_->clear();
    if (value) {
        driver_.sendCommand(command, *value);
    }
}

// The instrument frames the text as a command of its own; nothing waits for the reply. The status
// bar shows the bytes up to the frame's closing CR.
void CommandsPage::sendEscCommand() {
    replyList_->clear();
    const std::string text = lineBytes(valueEdit_);
    const std::string bytes = driver_.instrument().ownCommandBytes(text);
    if (bytes.empty()) {
        return;
    }
    emit statusMessage("Command sent: <ESC>" + bytes.substr(0, bytes.size() - 1));
    driver_.send(bytes);
}

void CommandsPage::addReply(const std::string& telegram) {
    replyList_->addItem(QString::fromLatin1(telegram));
}

void CommandsPage::keyTyped(char key) {
    replyList_->clear();
    if (key == kCr) {
        sendEscCommand();
    }
}

void CommandsPage::alignWith(const BottomRow& row) {
    row_ = row;
    layOut();
}

void CommandsPage::layOut() {
    const CommandsPageLayout at =
        commandsPageLayout(width(), height(), row_, valueLabel_->height(), valueEdit_->x());
    replyList_->resize(width(), std::max(0, at.replyListHeight));
    valueLabel_->move(valueLabel_->x(), at.labelTop);
    valueEdit_->setGeometry(valueEdit_->x(), at.editTop, std::max(0, at.editWidth),
                            valueEdit_->height());
}

} // namespace app
