// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDir>
#include <QString>

// Where file-writing fuzz targets put their files: in memory where the machine offers it, since
// every committed file is flushed to disk, which would make each run slow.
inline QString scratchFolderTemplate() {
    const QString memory = QStringLiteral("/dev/shm");
    const QString base = QDir(memory).exists() ? memory : QDir::tempPath();
    return base + QStringLiteral("/talvek-fuzz-XXXXXX");
}
