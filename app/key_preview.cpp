// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/key_preview.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QWidget>

namespace app {

KeyPreview::KeyPreview(QWidget* window, std::function<void(char key)> onKeyPress)
    : QObject(window), window_(window), onKeyPress_(std::move(onKeyPress)) {
    QCoreApplication::instance()->installEventFilter(this);
}

KeyPreview::~KeyPreview() {
    QCoreApplication::instance()->removeEventFilter(this);
}

bool KeyPreview::isPropagation(const QEvent* event, const QWidget* receiver) const {
    return event == lastEvent_ && lastReceiver_ && receiver != lastReceiver_ &&
           receiver->isAncestorOf(lastReceiver_);
}

bool KeyPreview::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress || !watched->isWidgetType()) {
        return false;
    }
    auto* receiver = static_cast<QWidget*>(watched);
    if (receiver->window() != window_ || isPropagation(event, receiver)) {
        return false;
    }
    lastEvent_ = event;
    lastReceiver_ = receiver;
    const auto* key = static_cast<QKeyEvent*>(event);
    // Enter is character 13 whichever of the two keys typed it.
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
        onKeyPress_('\r');
        return false;
    }
    // Any key that types a character counts, also one beyond Latin-1 (passed on as 0).
    const QString text = key->text();
    if (!text.isEmpty()) {
        onKeyPress_(text.at(0).toLatin1());
    }
    return false;
}

} // namespace app
