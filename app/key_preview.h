#pragma once

#include <QObject>
#include <QPointer>
#include <functional>

class QWidget;

namespace app {

// Lets a window see every character key typed anywhere in it before the focused control does.
// Installed on the application; the key is never consumed.
class TKeyPreview : public QObject {
    Q_OBJECT
public:
    TKeyPreview(QWidget* window, std::function<void(char key)> onKeyPress);
    ~TKeyPreview() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool IsPropagation(const QEvent* event, const QWidget* receiver) const;

    QWidget* Window;
    std::function<void(char)> OnKeyPress;
    // The key event seen last and where: an ignored key travels on to the parent widgets, and
    // the application filter sees it again at each of them.
    const QEvent* LastEvent = nullptr;
    QPointer<const QWidget> LastReceiver;
};

} // namespace app
