// SPDX-License-Identifier: GPL-3.0-or-later
#include "bench/window_fixture.h"

#include "app/graph_page.h"
#include "app/log_model.h"
#include "counter/driver.h"

#include <QApplication>
#include <QTabWidget>
#include <string>

namespace bench {
namespace {

app::WindowEnvironment environmentIn(const QTemporaryDir& folder, const std::int64_t& nowMs) {
    app::WindowEnvironment environment;
    environment.settingsFolder = folder.path().toStdString();
    environment.dataFolder = folder.path().toStdString();
    environment.monotonicMs = [&nowMs] { return nowMs; };
    return environment;
}

} // namespace

WindowFixture::WindowFixture(Signal signal)
    : window_(environmentIn(folder_, nowMs_)), signal_(signal) {
    reading_.unitText = "Hz";
    window_.show();
    window_.graphPage().startTrace(window_.readings());
    QApplication::processEvents();
}

void WindowFixture::showPage(QWidget& page) {
    window_.pages()->setCurrentWidget(&page);
    QApplication::processEvents();
}

void WindowFixture::emitReading() {
    reading_.value = signal_.next();
    reading_.valueText = std::to_string(reading_.value);
    reading_.telegram = reading_.valueText;
    emitReading(reading_);
}

void WindowFixture::emitReading(const counter::Reading& reading) {
    nowMs_ += kLinePeriodMs;
    emit window_.counter().readingReceived(reading);
}

void WindowFixture::fillTo(long count) {
    while (window_.log().count() < count) {
        emitReading();
        if (window_.log().count() % kReadingsPerTurn == 0) {
            QApplication::processEvents();
        }
    }
    QApplication::processEvents();
}

} // namespace bench
