// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

namespace app {

// A page of the main window. It lays its controls out whenever its size changes; a hidden page
// is given the size of the page showing, so every page follows the window, not only the one
// that shows while the window is resized.
class Page : public QWidget {
    Q_OBJECT
public:
    using QWidget::QWidget;

    void fitTo(const QSize& size) {
        resize(size);
        layOut();
    }

protected:
    // Places the controls for the page's current size.
    virtual void layOut() {}

    void resizeEvent(QResizeEvent* event) override {
        QWidget::resizeEvent(event);
        layOut();
    }
};

} // namespace app
