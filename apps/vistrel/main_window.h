// SPDX-License-Identifier: MIT
#pragma once

#include "connect/link_factory.h"
#include "recording/trigger_condition.h"

#include <QKeySequence>
#include <QMainWindow>
#include <QStringList>
#include <memory>
#include <optional>

class QLabel;
class QMenu;

namespace vistrel {

class ElidingLabel;
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
    // The Connection dialog: the link chosen there is taken into use.
    void chooseConnection();
    // Picks measurements of a measurement description (A2L) for the table;
    // an empty path asks for the file first.
    void importMeasurements(QString path);

protected:
    // Offers to save a changed list, then remembers the window's size and
    // place for the next start.
    void closeEvent(QCloseEvent* event) override;

private:
    void setLink(std::shared_ptr<Protocol> protocol, const QString& link);
    // The status bar: the link in words, the read rate, the recording file.
    void showLinkStatus();
    // File: the list's Open and Save (the tool bar's own buttons), the
    // recordings, Quit.
    void createFileMenu();
    void createConnectionMenu();
    void createHelpMenu();
    // A menu entry that clicks the widget's tool-bar button of that key.
    void addToolbarEntry(QMenu& menu, const QString& text, const char* key,
                         const QKeySequence& shortcut);
    // The recording entries of File.
    void addRecordingEntries(QMenu& file);
    // The plot pane's entries and the Rec button's triggers.
    void createViewMenu();
    void openRecording();
    void exportRecording();
    void chooseTrigger();
    void chooseEcuDescription();
    void fillRecentLinks();
    void remember(const QString& link);

    VistrelWidget* watch_;
    ElidingLabel* linkLabel_;
    QLabel* rateLabel_;
    QLabel* recordLabel_;
    QMenu* recent_ = nullptr;
    QString link_;
    std::optional<RecordingTrigger> trigger_;
};

} // namespace vistrel
