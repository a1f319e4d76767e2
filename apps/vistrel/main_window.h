#pragma once

#include "recording/trigger_condition.h"

#include <QMainWindow>
#include <memory>
#include <optional>

namespace vistrel {

class Protocol;
class VistrelWidget;

// The desktop application's window: the widget over a simulated ECU, a
// menu to simulate another ECU description, the plot pane, the recording
// viewer and exports, and the Rec button's triggers.
class MainWindow : public QMainWindow {
public:
    explicit MainWindow(std::shared_ptr<Protocol> protocol);

    // What a user does by hand: puts item lines on the clipboard and
    // presses Paste; presses Start.
    void pasteItems(const QString& lines);
    void pressStart();
    // Opens a recording file in a viewer window; false (after telling the
    // user why) when it cannot be read.
    bool viewRecording(const QString& path);

private:
    void createMenu();
    void createRecordingMenus();
    void openRecording();
    void exportRecording();
    void chooseTrigger();
    void chooseEcuDescription();
    void pressButton(const char* key);

    VistrelWidget* watch_;
    std::optional<RecordingTrigger> trigger_;
};

} // namespace vistrel
