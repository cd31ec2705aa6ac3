// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/offscreen_application.h"

namespace cli {

namespace {

// Qt's notes about the platform (no XDG_RUNTIME_DIR, say) are no failure of the command, which
// tells its failures in lines of its own: they are left out.
void leaveOut(QtMsgType, const QMessageLogContext&, const QString&) {}

} // namespace

OffscreenApplication::OffscreenApplication() : previousHandler_(qInstallMessageHandler(leaveOut)) {
    application_ = std::make_unique<QGuiApplication>(argc_, argv_);
}

OffscreenApplication::~OffscreenApplication() {
    application_.reset();
    qInstallMessageHandler(previousHandler_);
}

} // namespace cli
