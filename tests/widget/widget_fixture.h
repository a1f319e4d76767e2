// SPDX-License-Identifier: MIT
#pragma once

#include "fakes/scripted_protocol.h"
#include "widget/vistrel_widget.h"

#include <QAbstractItemModel>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QLabel>
#include <QTableView>
#include <gtest/gtest.h>
#include <memory>
#include <stdexcept>
#include <string>

namespace vistrel::testing {

// The real widget, shown offscreen, with helpers to reach its child
// controls by their documented names.
class WidgetTest : public ::testing::Test {
protected:
    WidgetTest() {
        widget.resize(900, 400);
        widget.show();
    }

    template <typename T> T& child(const char* name) {
        auto* found = widget.findChild<T*>(QString::fromUtf8(name));
        if (found == nullptr) {
            throw std::runtime_error(std::string("no child control named ") + name);
        }
        return *found;
    }

    QAction& button(const char* key) { return child<QAction>(key); }
    QString panelText(const char* key) { return child<QLabel>(key).text(); }
    QTableView& grid() { return child<QTableView>("gridRun"); }
    const QAbstractItemModel& model() { return *grid().model(); }
    // Grid row 1 is the first item row.
    QString cell(int gridRow, int column) {
        return model().index(gridRow - 1, column).data().toString();
    }

    // Hands over a scripted protocol that answers every request with reply.
    std::shared_ptr<ScriptedProtocol> handOverProtocol(const std::string& reply = "6342") {
        auto protocol = std::make_shared<ScriptedProtocol>();
        protocol->fallback = reply;
        widget.setProtocol(protocol);
        return protocol;
    }

    // Pastes item lines through the system clipboard.
    void paste(const QString& lines) {
        QGuiApplication::clipboard()->setText(lines);
        button("Paste").trigger();
    }

    // Runs the event loop until the condition holds or the time is up.
    template <typename Condition> bool waitFor(Condition condition, int milliseconds = 3000) {
        QElapsedTimer clock;
        clock.start();
        while (!condition()) {
            if (clock.elapsed() > milliseconds) {
                return false;
            }
            QApplication::processEvents(QEventLoop::AllEvents, 5);
        }
        return true;
    }

    VistrelWidget widget;
};

// Two item lines in the pasted syntax: a decimal byte and a masked hex byte.
inline const QString kTwoItemLines =
    QStringLiteral("0A1F20\t1\tLE+\tSpeed\tkm/h\t1\t0\t1\tD\t1\r\n"
                   "0A1F21\t1\tLE+\tFlags\t\t1\t0\t1\tH\t1\t0F\r\n");

} // namespace vistrel::testing
