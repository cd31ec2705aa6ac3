// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <QSize>

class QLineEdit;
class QSpinBox;

namespace app {

// "Save picture...": the file (its extension chooses PNG, SVG or PDF) and the picture's size in
// pixels, the control's own to begin with.
class PictureDialog : public QDialog {
    Q_OBJECT
public:
    PictureDialog(QSize size, QWidget* parent = nullptr);

    std::string fileName() const; // local 8-bit encoding
    QSize pictureSize() const;

private:
    void browse();

    QLineEdit* fileName_;
    QSpinBox* width_;
    QSpinBox* height_;
};

} // namespace app
