#include "widget/desktop_ports.h"

#include <QClipboard>
#include <QDateTime>
#include <QDir>
#include <QGuiApplication>
#include <QMessageBox>
#include <chrono>

namespace vistrel {

void MessageBoxPort::showMessage(const std::string& text, const std::string& title) {
    // The control breaks its lines with CR LF; a label wants LF alone.
    QString shown = QString::fromStdString(text);
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    QMessageBox box(QMessageBox::NoIcon, QString::fromStdString(title), shown, QMessageBox::Ok,
                    &parent_);
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

std::uint32_t SystemPlatform::milliseconds() const {
    // A 32-bit millisecond count that wraps after 49 days, like the clock
    // that the recording's elapsed times are measured against.
    const auto elapsed = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<std::uint32_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count());
}

LocalDateTime SystemPlatform::now() const {
    const QDateTime now = QDateTime::currentDateTime();
    const QDate date = now.date();
    const QTime time = now.time();
    return {date.year(), date.month(), date.day(), time.hour(), time.minute(), time.second()};
}

std::string SystemPlatform::currentDirectory() const {
    return QDir::currentPath().toStdString();
}

} // namespace vistrel
