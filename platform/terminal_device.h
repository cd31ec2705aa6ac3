// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <sys/types.h>

namespace platform {

// A Unix98 pseudo-terminal slave (/dev/pts/N), by its device number.
bool isPseudoTerminal(dev_t device);

// The node at `path`, links resolved, is a terminal: a character device that is a
// pseudo-terminal or that the kernel lists as a tty under `sysfs` (/sys/dev/char/M:N). Decided
// without opening it, since opening a serial device raises its modem lines. A regular file, a
// FIFO, a folder or /dev/null is none.
bool isTerminalDevice(const std::string& path, const std::string& sysfs);

} // namespace platform
