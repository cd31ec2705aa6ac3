// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QPointer>
#include <functional>

class QWidget;

namespace app {

// Lets a window see every character key typed anywhere in it before the focused control does.
// Installed on the application; the key is never consumed.
class KeyPreview : public QObject {
    Q_OBJECT
public:
    KeyPreview(QWidget* window, std::function<void(char key)> onKeyPress);
    ~KeyPreview() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool isPropagation(const QEvent* event, const QWidget* receiver) const;

    QWidget* window_;
    std::function<void(char)> onKeyPress_;
    // The key event seen last and where: an ignored key travels on to the parent widgets, and
    // the application filter sees it again at each of them.
    const QEvent* lastEvent_ = nullptr;
    QPointer<const QWidget> lastReceiver_;
};

} // namespace app
