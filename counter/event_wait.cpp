#include "counter/event_wait.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

void WaitWithEvents(const std::function<bool()>& done) {
    // The ticker wakes the blocking event wait so that conditions based on time get re-tested.
    QTimer ticker;
    ticker.start(5);
    while (!done()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    }
}
