// SPDX-License-Identifier: MIT
#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QString>
#include <QTimer>
#include <functional>
#include <vector>

namespace vistrel::testing {

// Answers the modal dialogs that a test opens, so that no test waits for a
// user: every message box is recorded and closed with OK, and any other
// dialog is handed to the given answer (or rejected).
class ModalAnswerer {
public:
    struct Message {
        QString title;
        QString text;
    };
    using Answer = std::function<void(QDialog&)>;

    explicit ModalAnswerer(Answer answer = {}) : answer_(std::move(answer)) {
        QObject::connect(&poll_, &QTimer::timeout, [this] { answerOpenDialog(); });
        poll_.start(5);
    }

    const std::vector<Message>& messages() const { return messages_; }
    // Message boxes with buttons of their own are answered with this one.
    void answerMessagesWith(QMessageBox::StandardButton button) { messageButton_ = button; }
    int dialogsAnswered() const { return dialogs_; }

private:
    void answerOpenDialog() {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr || !dialog->isVisible()) {
            return;
        }
        if (auto* box = qobject_cast<QMessageBox*>(dialog)) {
            messages_.push_back({box->windowTitle(), box->text()});
            if (QAbstractButton* chosen = box->button(messageButton_)) {
                chosen->click();
            } else {
                box->accept();
            }
            return;
        }
        ++dialogs_;
        if (answer_) {
            answer_(*dialog);
        } else {
            dialog->reject();
        }
    }

    Answer answer_;
    QTimer poll_;
    QMessageBox::StandardButton messageButton_ = QMessageBox::NoButton;
    std::vector<Message> messages_;
    int dialogs_ = 0;
};

} // namespace vistrel::testing
