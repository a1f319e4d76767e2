// SPDX-License-Identifier: MIT
#pragma once

#include "connect/link_factory.h"
#include "recording/trigger_condition.h"

#include <QMainWindow>
#include <QStringList>
#include <memory>
#include <optional>

class QLabel;
class QMenu;

namespace vistrel {

class VistrelWidget;

// The desktop application's window: the widget over one link (a simulated
// ECU or a real one), a menu to choose the link, the recent links, and the
// link in use in the status bar; recordings viewed, plotted, exported and
// triggered.
class MainWindow : public QMainWindow {
public:
    // Shows protocol, made from the link string link.
    MainWindow(std::shared_ptr<Protocol> protocol, const QString& link);

    // Takes the link string into use; "" or why it cannot be used.
    QString useLink(const QString& link);

    VistrelWidget& watch() noexcept { return *watch_; }
    // Opens a recording file in a viewer window; false (after telling the
    // user why) when it cannot be read.
    bool viewRecording(const QString& path);
    // Shows the plot pane with the items of these names.
    void plotItems(const QStringList& names);
    // Picks measurements of a measurement description (A2L) for the table;
    // an empty path asks for the file first.
    void importMeasurements(QString path);

protected:
    // Remembers the window's size and place for the next start.
    void closeEvent(QCloseEvent* event) override;

private:
    void setLink(std::shared_ptr<Protocol> protocol, const QString& link);
    void createMenu();
    // The recording viewer and exports, the plot pane, the Rec triggers.
    void createRecordingMenus();
    void openRecording();
    void exportRecording();
    void chooseTrigger();
    void chooseConnection();
    void chooseEcuDescription();
    void fillRecentLinks();
    void remember(const QString& link);

    VistrelWidget* watch_;
    QLabel* linkLabel_;
    QMenu* recent_ = nullptr;
    QString link_;
    std::optional<RecordingTrigger> trigger_;
};

} // namespace vistrel
