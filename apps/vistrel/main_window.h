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

    VistrelWidget& watch() noexcept { return *watch_; }

private:
    void createMenu();
    void chooseEcuDescription();

    VistrelWidget* watch_;
};

} // namespace vistrel
