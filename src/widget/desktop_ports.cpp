// SPDX-License-Identifier: MIT
#include "widget/desktop_ports.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMessageBox>

namespace vistrel {

void MessageBoxPort::showMessage(const std::string& text, const std::string& title) {
    // The control breaks its lines with CR LF; a label wants LF alone.
    QString shown = QString::fromStdString(text);
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    QMessageBox box(QMessageBox::NoIcon, QString::fromStdString(title), shown, QMessageBox::Ok,
                    &parent_);
    // A status or error text is often wanted elsewhere: it can be selected
    // and copied.
    box.setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    box.exec();
}

std::string SystemClipboard::text() const {
    return QGuiApplication::clipboard()->text().toStdString();
}

void SystemClipboard::setText(const std::string& text) {
    QClipboard& clipboard = *QGuiApplication::clipboard();
    clipboard.clear();
    clipboard.setText(QString::fromStdString(text));
}

} // namespace vistrel
