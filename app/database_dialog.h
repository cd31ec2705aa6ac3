// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/formats/database_file.h"

#include <QDialog>
#include <optional>
#include <string>

class QLineEdit;
class QPlainTextEdit;

namespace app {

// The settings of the time-series database the window also records into: URL, database (1.x)
// or bucket, organisation and token file (2.x), and tags, one KEY=VALUE a line.
class DatabaseDialog : public QDialog {
    Q_OBJECT
public:
    DatabaseDialog(const DatabaseChoice& choice, QWidget* parent = nullptr);

    // What the fields say; nothing, with `error` saying why, when a tag does not read.
    std::optional<DatabaseChoice> choice(std::string& error) const;

    QLineEdit* urlEdit() const { return url_; }
    QPlainTextEdit* tagsEdit() const { return tags_; }

private:
    QLineEdit* url_;
    QLineEdit* database_;
    QLineEdit* bucket_;
    QLineEdit* org_;
    QLineEdit* tokenFile_;
    QPlainTextEdit* tags_;
};

} // namespace app
