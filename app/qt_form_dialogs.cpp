#include "app/qt_form_dialogs.h"

#include "app/formats/save_filter.h"
#include "plot/qt_print_target.h"

#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QPrintDialog>

namespace app {

std::optional<std::string> TQtFormDialogs::ExecuteSaveDialog(const std::string& filter,
                                                             const std::string& defaultExt) {
    const std::vector<TSaveFilterChoice> choices = ParseSaveFilter(filter);
    QStringList names;
    for (const TSaveFilterChoice& choice : choices) {
        names << QString::fromLatin1(choice.Caption);
    }
    QFileDialog dialog(Parent);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilters(names);
    dialog.setDefaultSuffix(QString::fromLatin1(SuffixOfPattern(defaultExt)));
    // A name typed without extension gets the one of the format chosen.
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                     [&dialog, &names, &choices](const QString& name) {
                         const auto i = static_cast<std::size_t>(names.indexOf(name));
                         if (i < choices.size()) {
                             dialog.setDefaultSuffix(
                                 QString::fromLatin1(SuffixOfPattern(choices[i].Pattern)));
                         }
                     });
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return QFile::encodeName(dialog.selectedFiles().first()).toStdString();
}

bool TQtFormDialogs::ExecutePrinterSetup() {
    QPrintDialog dialog(&Printer, Parent);
    return dialog.exec() == QDialog::Accepted;
}

std::unique_ptr<PrintTarget> TQtFormDialogs::OpenPrinter() {
    return std::make_unique<QtPrintTarget>(Printer);
}

void TQtFormDialogs::ShowError(const std::string& message) {
    QMessageBox::critical(Parent, QString(), QString::fromLatin1(message));
}

} // namespace app
