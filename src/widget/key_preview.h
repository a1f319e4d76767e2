// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QPointer>
#include <functional>

class QWidget;

namespace vistrel {

// The key code of a released key as the control knows it (the letters and
// digits keep their character code: H is 72, V is 86); 0 for any other key.
int virtualKeyCode(int qtKey);
// The shift state of a key event: 1 Shift, 2 Ctrl, 4 Alt, added up.
int shiftState(Qt::KeyboardModifiers modifiers);

// Lets the control see every key released inside it, whichever of its child
// controls has the focus. It watches the root widget and all the widgets
// below it in the same window, also those added later; dialogs opened by the
// control are separate windows and are left alone.
class KeyPreview : public QObject {
public:
    using Handler = std::function<void(int keyCode, int shift)>;

    KeyPreview(QWidget& root, Handler handler);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void watch(QObject& object);
    bool inRootWindow(const QObject& watched) const;
    bool alreadySeen(const QEvent& event, QObject& watched);

    QWidget& root_;
    Handler handler_;
    // A key event that a child ignores travels on to its parents, through
    // this filter again: the last event seen and where, to tell it apart
    // from a new one.
    const QEvent* lastEvent_ = nullptr;
    QPointer<QObject> lastReceiver_;
};

} // namespace vistrel
