// SPDX-License-Identifier: GPL-3.0-or-later
#include "bench/window_fixture.h"

#include "bench/event_wait.h"

#include "app/connect_page.h"
#include "app/log_model.h"
#include "counter/driver.h"
#include "platform/port_links.h"

#include <QApplication>
#include <QPushButton>
#include <QTabWidget>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

namespace bench {
namespace {

constexpr int kPortNumber = 7;
constexpr int kWindowWidth = 1148;
constexpr int kWindowHeight = 574;
constexpr int kConnectTimeoutMs = 10'000;

app::WindowEnvironment environmentIn(const talvek::test::PortSandbox& sandbox,
                                     const std::int64_t& nowMs,
                                     std::shared_ptr<app::Dialogs> dialogs) {
    // The window opens on the counter's port.
    std::ofstream(sandbox.file("Zorvimet.ini"), std::ios::binary) << "COM" << kPortNumber << "\r\n";
    app::WindowEnvironment environment;
    environment.settingsFolder = sandbox.path();
    environment.dataFolder = sandbox.path();
    environment.dialogs = std::move(dialogs);
    environment.monotonicMs = [&nowMs] { return nowMs; };
    return environment;
}

} // namespace

WindowFixture::WindowFixture(Signal signal, std::shared_ptr<app::Dialogs> dialogs)
    : counter_(platform::userPortLinkFolder(), kPortNumber),
      window_(environmentIn(sandbox_, nowMs_, std::move(dialogs))), signal_(signal) {
    reading_.unitText = "Hz";
    counter_.answer("I", "kelvo FC-2");
    // The size the window opens with on a fresh installation.
    window_.resize(kWindowWidth, kWindowHeight);
    window_.show();
    QApplication::processEvents();
    window_.connectPage().connectButton()->click();
    bench::waitUntil([this] { return window_.isEnabled(); }, kConnectTimeoutMs);
    if (!window_.counter().isConnected()) {
        std::fprintf(stderr, "the window did not connect to the counter on COM%d\n", kPortNumber);
        std::exit(1);
    }
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

// Stamped as the receive thread stamps a telegram's arrival.
void WindowFixture::emitReading(const counter::Reading& reading) {
    nowMs_ += kLinePeriodMs;
    counter::Reading stamped = reading;
    stamped.arrivalMs = nowMs_;
    emit window_.counter().readingReceived(stamped);
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
