// SPDX-License-Identifier: MIT
#include "widget/key_preview.h"

#include <QChildEvent>
#include <QKeyEvent>
#include <QWidget>

namespace vistrel {

int virtualKeyCode(int qtKey) {
    const bool letter = qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z;
    const bool digit = qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9;
    return letter || digit ? qtKey : 0;
}

int shiftState(Qt::KeyboardModifiers modifiers) {
    int shift = 0;
    if (modifiers.testFlag(Qt::ShiftModifier)) {
        shift |= 1;
    }
    if (modifiers.testFlag(Qt::ControlModifier)) {
        shift |= 2;
    }
    if (modifiers.testFlag(Qt::AltModifier)) {
        shift |= 4;
    }
    return shift;
}

namespace {

// A widget drawn inside its parent's window, not a dialog of its own.
bool isInnerWidget(const QObject& object) {
    return object.isWidgetType() && !static_cast<const QWidget&>(object).isWindow();
}

} // namespace

KeyPreview::KeyPreview(QWidget& root, Handler handler) : root_(root), handler_(std::move(handler)) {
    watch(root_);
}

void KeyPreview::watch(QObject& object) {
    object.installEventFilter(this);
    for (QObject* child : object.children()) {
        if (isInnerWidget(*child)) {
            watch(*child);
        }
    }
}

bool KeyPreview::inRootWindow(const QObject& watched) const {
    const auto* widget = qobject_cast<const QWidget*>(&watched);
    return widget != nullptr && widget->window() == root_.window();
}

bool KeyPreview::alreadySeen(const QEvent& event, QObject& watched) {
    const bool propagated =
        &event == lastEvent_ && lastReceiver_ != nullptr && watched.isWidgetType() &&
        static_cast<QWidget&>(watched).isAncestorOf(qobject_cast<QWidget*>(lastReceiver_.data()));
    lastEvent_ = &event;
    lastReceiver_ = &watched;
    return propagated;
}

bool KeyPreview::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::ChildAdded: {
        QObject* child = static_cast<QChildEvent*>(event)->child();
        if (isInnerWidget(*child)) {
            watch(*child);
        }
        break;
    }
    case QEvent::KeyRelease: {
        const auto& key = static_cast<const QKeyEvent&>(*event);
        if (key.isAutoRepeat() || !inRootWindow(*watched) || alreadySeen(key, *watched)) {
            break;
        }
        if (const int code = virtualKeyCode(key.key()); code != 0) {
            handler_(code, shiftState(key.modifiers()));
        }
        break;
    }
    default:
        break;
    }
    return false;
}

} // namespace vistrel
