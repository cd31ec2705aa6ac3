// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QGuiApplication>
#include <memory>

namespace cli {

// While it lives, a QGuiApplication on the offscreen platform, which needs no display: text and
// pictures are drawn as on the screen, fonts found as the window finds them. Qt's messages are
// left out meanwhile.
class OffscreenApplication {
public:
    OffscreenApplication();
    ~OffscreenApplication();
    OffscreenApplication(const OffscreenApplication&) = delete;
    OffscreenApplication& operator=(const OffscreenApplication&) = delete;

private:
    // The application keeps the count and the words it was made with.
    int argc_ = 3;
    char name_[11] = "talvek-cli";
    char option_[10] = "-platform";
    char platform_[10] = "offscreen";
    char* argv_[4] = {name_, option_, platform_, nullptr};
    QtMessageHandler previousHandler_;
    std::unique_ptr<QGuiApplication> application_;
};

} // namespace cli
