// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/qt_dialogs.h"

#include "app/database_dialog.h"
#include "app/formats/save_filter.h"
#include "app/picture_dialog.h"
#include "plot/qt_print_target.h"

#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QPrintDialog>

namespace app {

std::optional<SaveChoice> QtDialogs::executeSaveDialog(const std::string& filter,
                                                       const std::string& defaultExt) {
    const std::vector<SaveFilterChoice> choices = parseSaveFilter(filter);
    QStringList names;
    for (const SaveFilterChoice& choice : choices) {
        names << QString::fromUtf8(choice.caption);
    }
    QFileDialog dialog(parent_);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilters(names);
    dialog.setDefaultSuffix(QString::fromUtf8(suffixOfPattern(defaultExt)));
    // A name typed without extension gets the one of the format chosen.
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                     [&dialog, &names, &choices](const QString& name) {
                         const auto i = static_cast<std::size_t>(names.indexOf(name));
                         if (i < choices.size()) {
                             dialog.setDefaultSuffix(
                                 QString::fromUtf8(suffixOfPattern(choices[i].pattern)));
                         }
                     });
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    const qsizetype chosen = names.indexOf(dialog.selectedNameFilter());
    return SaveChoice(QFile::encodeName(dialog.selectedFiles().first()).toStdString(),
                      chosen < 0 ? 0 : static_cast<std::size_t>(chosen));
}

std::optional<std::string> QtDialogs::executeOpenDialog(const std::string& filter) {
    QStringList names;
    for (const SaveFilterChoice& choice : parseSaveFilter(filter)) {
        names << QString::fromUtf8(choice.caption);
    }
    QFileDialog dialog(parent_);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters(names);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return QFile::encodeName(dialog.selectedFiles().first()).toStdString();
}

bool QtDialogs::askYesNo(const std::string& question) {
    return QMessageBox::question(parent_, QString(), QString::fromUtf8(question),
                                 QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::Yes) == QMessageBox::Yes;
}

bool QtDialogs::executePrinterSetup() {
    QPrintDialog dialog(&printer_, parent_);
    return dialog.exec() == QDialog::Accepted;
}

std::unique_ptr<plot::PrintTarget> QtDialogs::openPrinter() {
    return std::make_unique<plot::QtPrintTarget>(printer_);
}

void QtDialogs::showError(const std::string& message) {
    QMessageBox::critical(parent_, QString(), QString::fromUtf8(message));
}

std::optional<DatabaseChoice> QtDialogs::editDatabase(const DatabaseChoice& current) {
    DatabaseDialog dialog(current, parent_);
    while (dialog.exec() == QDialog::Accepted) {
        std::string error;
        if (auto choice = dialog.choice(error)) {
            return choice;
        }
        showError(error);
    }
    return std::nullopt;
}

std::optional<PictureChoice> QtDialogs::choosePicture(QSize size) {
    PictureDialog dialog(size, parent_);
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return PictureChoice{dialog.fileName(), dialog.pictureSize()};
}

} // namespace app
