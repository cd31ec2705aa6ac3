// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/page.h"

class QLabel;
class QMenu;

namespace counter {
struct Reading;
}

namespace app {

// The "Display" page: the latest reading in big digits.
class DisplayPage : public Page {
    Q_OBJECT
public:
    explicit DisplayPage(QWidget* parent = nullptr);

    QLabel* readingLabel() const { return readingLabel_; }
    QMenu* menu() const { return menu_; }

    // The reading's number in groups of three digits, two blanks and its unit.
    void showReading(const counter::Reading& reading);

signals:
    void connectToggleRequested();

protected:
    void layOut() override;

private:
    QLabel* readingLabel_;
    QMenu* menu_;
};

} // namespace app
