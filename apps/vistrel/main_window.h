#pragma once

#include <QMainWindow>
#include <memory>

namespace vistrel {

class Protocol;
class VistrelWidget;

// The desktop application's window: the widget over a simulated ECU, and a
// menu to simulate another ECU description.
class MainWindow : public QMainWindow {
public:
    explicit MainWindow(std::shared_ptr<Protocol> protocol);

    // What a user does by hand: puts item lines on the clipboard and
    // presses Paste; presses Start.
    void pasteItems(const QString& lines);
    void pressStart();

private:
    void createMenu();
    void chooseEcuDescription();
    void pressButton(const char* key);

    VistrelWidget* watch_;
};

} // namespace vistrel
