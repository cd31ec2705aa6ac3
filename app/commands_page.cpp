// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/commands_page.h"

#include "app/command_table.h"
#include "app/formats/int_text.h"
#include "app/popup_menu.h"
#include "app/widget_style.h"
#include "counter/kelvo_counter.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <algorithm>
#include <map>

namespace app {
namespace {

constexpr int kGap = 4;
constexpr char kEsc = 27;
constexpr char kCr = 13;

// The field's text as the bytes that go on the line, one byte per character.
std::string lineBytes(const QLineEdit* edit) {
    return edit->text().toLatin1().toStdString();
}

} // namespace

CommandsPage::CommandsPage(counter::KelvoCounter& counter, QWidget* parent)
    : Page(parent), counter_(counter), replyList_(new QListWidget(this)),
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

    buildMenu();
    attachPopup(this, commandMenu_);
    attachPopup(replyList_, commandMenu_);
}

void CommandsPage::buildMenu() {
    std::map<std::string, QMenu*> submenus;
    for (const CounterCommand& command : counterCommands()) {
        if (command.separatorBefore) {
            commandMenu_->addSeparator();
        }
        QMenu* menu = commandMenu_;
        if (*command.submenu) {
            QMenu*& submenu = submenus[command.submenu];
            if (!submenu) {
                submenu = addSubMenu(commandMenu_, command.submenu);
            }
            menu = submenu;
        }
        connect(addMenuEntry(menu, command.caption), &QAction::triggered, this,
                [this, &command] { run(command); });
    }
    connect(addMenuEntry(commandMenu_, "ESC Command <value>"), &QAction::triggered, this,
            &CommandsPage::sendEscCommand);
    commandMenu_->addSeparator();
    connect(addMenuEntry(commandMenu_, "Connect/Disconnect"), &QAction::triggered, this,
            &CommandsPage::connectToggleRequested);
}

// The reply of a command reaches the list through addReply. A value the user did not enter as a
// whole number is never sent, not even as a stand-in.
void CommandsPage::run(const CounterCommand& command) {
    std::optional<std::int32_t> value = 0;
    if (command.takesValue) {
        value = tryStrToInt(lineBytes(valueEdit_));
        if (!value) {
            emit statusMessage("Error: Value is not a number!");
        }
    }
    replyList_->clear();
    if (value) {
        command.call(counter_, *value);
    }
}

void CommandsPage::sendEscCommand() {
    replyList_->clear();
    const std::string command = kEsc + lineBytes(valueEdit_);
    emit statusMessage("Command sent: <ESC>" + command);
    counter_.send(command + kCr);
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
