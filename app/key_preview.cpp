#include "app/key_preview.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QWidget>

namespace app {

TKeyPreview::TKeyPreview(QWidget* window, std::function<void(char key)> onKeyPress)
    : QObject(window), Window(window), OnKeyPress(std::move(onKeyPress)) {
    QCoreApplication::instance()->installEventFilter(this);
}

TKeyPreview::~TKeyPreview() {
    QCoreApplication::instance()->removeEventFilter(this);
}

bool TKeyPreview::IsPropagation(const QEvent* event, const QWidget* receiver) const {
    return event == LastEvent && LastReceiver && receiver != LastReceiver &&
           receiver->isAncestorOf(LastReceiver);
}

bool TKeyPreview::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress || !watched->isWidgetType()) {
        return false;
    }
    auto* receiver = static_cast<QWidget*>(watched);
    if (receiver->window() != Window || IsPropagation(event, receiver)) {
        return false;
    }
    LastEvent = event;
    LastReceiver = receiver;
    const auto* key = static_cast<QKeyEvent*>(event);
    // Enter is character 13 whichever of the two keys typed it.
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
        OnKeyPress('\r');
        return false;
    }
    const QByteArray text = key->text().toLatin1();
    if (text.size() == 1) {
        OnKeyPress(text[0]);
    }
    return false;
}

} // namespace app
