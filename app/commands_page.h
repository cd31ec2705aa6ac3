// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/page.h"
#include "app/page_layout.h"

#include <string>

class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;

namespace counter {
class Driver;
struct InstrumentCommand;
} // namespace counter

namespace app {

// The "Commands" page: the instrument's replies, the value field and the command menu, whose
// entries are the commands of the instrument's profile.
class CommandsPage : public Page {
    Q_OBJECT
public:
    explicit CommandsPage(counter::Driver& driver, QWidget* parent = nullptr);

    QListWidget* replyList() const { return replyList_; }
    QLabel* valueLabel() const { return valueLabel_; }
    QLineEdit* valueEdit() const { return valueEdit_; }
    QMenu* commandMenu() const { return commandMenu_; }

    // The value row lines up with the bottom row of the "Connect" page.
    void alignWith(const BottomRow& row);
    // The menu offers the commands of the driver's instrument now.
    void showInstrument();
    // Appends a reply of the counter.
    void addReply(const std::string& telegram);
    // A character key typed anywhere in the window, before the focused control sees it: it
    // empties the replies, and Enter sends the value field as an ESC command.
    void keyTyped(char key);

signals:
    void statusMessage(const std::string& text);
    void connectToggleRequested();

protected:
    void layOut() override;

private:
    void buildMenu();
    void run(const counter::InstrumentCommand& command);
    void sendEscCommand();

    counter::Driver& driver_;
    QListWidget* replyList_;
    QLabel* valueLabel_;
    QLineEdit* valueEdit_;
    QMenu* commandMenu_;
    BottomRow row_;
};

} // namespace app
