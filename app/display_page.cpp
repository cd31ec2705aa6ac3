// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/display_page.h"

#include "app/formats/group_digits.h"
#include "app/page_layout.h"
#include "app/popup_menu.h"
#include "app/widget_style.h"
#include "counter/reading.h"

#include <QFontMetrics>
#include <QLabel>
#include <QMenu>
#include <algorithm>

namespace app {

DisplayPage::DisplayPage(QWidget* parent)
    : Page(parent), readingLabel_(new QLabel(this)), menu_(new QMenu(this)) {
    readingLabel_->setAlignment(Qt::AlignCenter);
    readingLabel_->setFont(sansFont());
    setTextColour(readingLabel_, Qt::blue);
    connect(addMenuEntry(menu_, "Connect/Disconnect"), &QAction::triggered, this,
            &DisplayPage::connectToggleRequested);
    attachPopup(this, menu_);
}

// The telegram's bytes show one character each.
void DisplayPage::showReading(const counter::Reading& reading) {
    readingLabel_->setText(
        QString::fromLatin1(groupDigits(reading.valueText) + "  " + reading.unitText));
}

void DisplayPage::layOut() {
    const QFont baseFont = readingLabel_->font();
    const auto measure = [&baseFont](int pointSize, const std::string& text) {
        QFont font = baseFont;
        font.setPointSize(pointSize);
        const QFontMetrics metrics(font);
        return TextExtent{metrics.horizontalAdvance(QString::fromStdString(text)),
                          metrics.height()};
    };
    const DisplayPageLayout at = displayPageLayout(width(), height(), measure);
    QFont font = baseFont;
    font.setPointSize(at.fontSize);
    readingLabel_->setFont(font);
    readingLabel_->setGeometry(at.left, at.top, std::max(0, width() - 2 * at.left),
                               QFontMetrics(font).height());
}

} // namespace app
