// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace cli {

// What the program's exit status tells a script; listed in the usage text.
enum class ExitCode {
    Done = 0,
    Failed = 1,     // anything unforeseen, such as running out of memory
    Usage = 2,      // an unknown command or option, a bad or missing value
    Unreadable = 3, // the file does not exist or cannot be read
    NoReadings = 4, // the file holds no usable reading
    NoPort = 5,     // the port is not there or does not open (in use, no permission)
    NoCounter = 6,  // no counter answered, it refused a command, or it was lost for good
    Unwritable = 7, // the output file or the journal cannot be written
    NoDatabase = 8, // the time-series database's URL, token file, login or database is wrong
};

} // namespace cli
