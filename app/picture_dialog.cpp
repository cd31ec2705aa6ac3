// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/picture_dialog.h"

#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

namespace app {
namespace {

constexpr int kLargestSide = 20000; // some 5 m on a screen; a PNG of it takes 1.6 GB to draw

QSpinBox* sideBox(int pixels) {
    auto* box = new QSpinBox;
    box->setRange(16, kLargestSide);
    box->setSuffix(QStringLiteral(" px"));
    box->setValue(pixels);
    return box;
}

} // namespace

PictureDialog::PictureDialog(QSize size, QWidget* parent)
    : QDialog(parent), fileName_(new QLineEdit), width_(sideBox(size.width())),
      height_(sideBox(size.height())) {
    setWindowTitle(QStringLiteral("Save picture"));
    fileName_->setPlaceholderText(QStringLiteral("picture.png, .svg or .pdf"));
    auto* browse = new QPushButton(QStringLiteral("Browse..."));
    connect(browse, &QPushButton::clicked, this, &PictureDialog::browse);
    auto* file = new QHBoxLayout;
    file->addWidget(fileName_);
    file->addWidget(browse);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* form = new QFormLayout(this);
    form->addRow(QStringLiteral("File"), file);
    form->addRow(QStringLiteral("Width"), width_);
    form->addRow(QStringLiteral("Height"), height_);
    form->addRow(buttons);
}

std::string PictureDialog::fileName() const {
    return QFile::encodeName(fileName_->text().trimmed()).toStdString();
}

QSize PictureDialog::pictureSize() const {
    return {width_->value(), height_->value()};
}

void PictureDialog::browse() {
    const QString chosen = QFileDialog::getSaveFileName(
        this, QStringLiteral("Save picture"), fileName_->text(),
        QStringLiteral("PNG picture (*.png);;SVG picture (*.svg);;PDF document (*.pdf)"));
    if (!chosen.isEmpty()) {
        fileName_->setText(chosen);
    }
}

} // namespace app
