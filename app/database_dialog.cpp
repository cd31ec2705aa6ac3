// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/database_dialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPlainTextEdit>

namespace app {
namespace {

QLineEdit* lineEdit(const std::string& text, const char* placeholder) {
    auto* edit = new QLineEdit(QString::fromStdString(text));
    edit->setPlaceholderText(QString::fromUtf8(placeholder));
    return edit;
}

std::string textOf(const QLineEdit* edit) {
    return edit->text().trimmed().toStdString();
}

} // namespace

DatabaseDialog::DatabaseDialog(const DatabaseChoice& choice, QWidget* parent)
    : QDialog(parent), url_(lineEdit(choice.settings.url, "http://localhost:8086")),
      database_(lineEdit(choice.settings.database, "InfluxDB 1.x")),
      bucket_(lineEdit(choice.settings.bucket, "InfluxDB 2.x")),
      org_(lineEdit(choice.settings.org, "with a bucket")),
      tokenFile_(lineEdit(choice.tokenFile, "with a bucket: a file holding the token")),
      tags_(new QPlainTextEdit) {
    setWindowTitle(QStringLiteral("Time-series database"));
    QString tags;
    for (const recording::InfluxTag& tag : choice.settings.tags) {
        tags += QString::fromStdString(tag.key + '=' + tag.value) + QLatin1Char('\n');
    }
    tags_->setPlainText(tags);
    tags_->setPlaceholderText(QStringLiteral("station=lab2"));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* form = new QFormLayout(this);
    form->addRow(QStringLiteral("URL (empty: none)"), url_);
    form->addRow(QStringLiteral("Database"), database_);
    form->addRow(QStringLiteral("Bucket"), bucket_);
    form->addRow(QStringLiteral("Organisation"), org_);
    form->addRow(QStringLiteral("Token file"), tokenFile_);
    form->addRow(QStringLiteral("Tags"), tags_);
    form->addRow(buttons);
}

std::optional<DatabaseChoice> DatabaseDialog::choice(std::string& error) const {
    DatabaseChoice choice;
    choice.settings.url = textOf(url_);
    choice.settings.database = textOf(database_);
    choice.settings.bucket = textOf(bucket_);
    choice.settings.org = textOf(org_);
    choice.tokenFile = textOf(tokenFile_);
    for (const QString& line : tags_->toPlainText().split(QLatin1Char('\n'))) {
        if (line.trimmed().isEmpty()) {
            continue;
        }
        const auto tag = recording::parseInfluxTag(line.trimmed().toStdString(), error);
        if (!tag) {
            return std::nullopt;
        }
        choice.settings.tags.push_back(*tag);
    }
    return choice;
}

} // namespace app
