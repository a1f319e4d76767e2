// SPDX-License-Identifier: MIT
#pragma once

#include "control/message_port.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The control reaches its view and the platform only through these ports.
// The Qt widget, the terminal view and the test fakes implement them.
namespace vistrel {

// Keys of the status bar panels and tool bar buttons: always addressed by key.
namespace panel {
inline constexpr std::string_view kStatus = "Status";
inline constexpr std::string_view kRun = "Run";
inline constexpr std::string_view kRec = "Rec";
inline constexpr std::string_view kCom = "Com";
} // namespace panel

namespace button {
inline constexpr std::string_view kOpen = "Open";
inline constexpr std::string_view kSave = "Save";
inline constexpr std::string_view kPaste = "Paste";
inline constexpr std::string_view kCopy = "Copy";
inline constexpr std::string_view kRec = "Rec";
inline constexpr std::string_view kStart = "Start";
inline constexpr std::string_view kStop = "Stop";
} // namespace button

enum class CellAlignment { LeftCenter, RightCenter, Center };

struct GridColumn {
    std::string header;
    CellAlignment alignment;
    int widthPercent;
};

inline constexpr int kGridColumnCount = 7;
using GridRow = std::array<std::string, kGridColumnCount>;

// One item's cell of the value column: its value, or why it has none.
struct ValueCell {
    std::string text;
    // The text is the error of the item's read, not a value.
    bool failed = false;
};

enum class MousePointer { Default, Hourglass };

// What the user sees and touches.
class ViewPort {
public:
    virtual ~ViewPort() = default;

    virtual void setPanelText(std::string_view key, const std::string& text) = 0;

    virtual void setButtonEnabled(std::string_view key, bool enabled) = 0;
    virtual void setButtonPressed(std::string_view key, bool pressed) = 0;

    // The setting fields show what the control says; the user's edits come
    // back through the control's chooseMethod, chooseLengthSize and
    // editSessionText, so the control alone holds their values.
    // The method choice box.
    virtual void clearMethods() = 0;
    virtual void addMethod(const std::string& label) = 0;
    virtual void setMethodText(const std::string& label) = 0;
    virtual void setMethodEnabled(bool enabled) = 0;

    // The length-size choice box: entries with a number each.
    virtual void addLengthSize(const std::string& label, int data) = 0;
    virtual void selectLengthSize(int index) = 0;

    // The session request text box.
    virtual void setSessionText(const std::string& text) = 0;

    // The caption naming the protocol object.
    virtual void setProtocolCaption(const std::string& caption) = 0;

    // The value grid: the view places it and sizes the columns by their
    // percentages of its width.
    virtual void setGridColumns(const std::vector<GridColumn>& columns) = 0;
    // Replaces every item row (row 1 on); an empty list shows one empty row.
    virtual void setGridRows(std::vector<GridRow> rows) = 0;
    // Writes the value column of the item rows, one text per row from row 1,
    // in one go so that a view repaints once per read.
    virtual void setValueColumn(const std::vector<ValueCell>& values) = 0;
    // The values shown are older than a read that got no answer (greyed,
    // or marked with their age); a new value column is fresh again.
    virtual void setValuesStale(bool stale) = 0;

    virtual void setMousePointer(MousePointer pointer) = 0;
};

// How the engine's events reach the host's thread: the engine calls wake()
// on its own thread when events start waiting, and the host answers by
// calling the control's deliverEvents() on the thread that owns the view
// (a queued call in an event loop, or the command's own loop).
class WakePort {
public:
    virtual ~WakePort() = default;
    virtual void wake() = 0;
};

struct FileDialogOptions {
    std::string title;
    // Pairs of description and pattern separated by "|".
    std::string filter;
    std::string defaultExtension;
    bool confirmOverwrite = false;
    bool existingFilesOnly = false;
};

class FileDialogPort {
public:
    virtual ~FileDialogPort() = default;
    // The chosen path, or nullopt when the user cancelled.
    virtual std::optional<std::string> openFileName(const FileDialogOptions& options) = 0;
    virtual std::optional<std::string> saveFileName(const FileDialogOptions& options) = 0;
};

class ClipboardPort {
public:
    virtual ~ClipboardPort() = default;
    // The clipboard's plain text; "" when it holds none.
    virtual std::string text() const = 0;
    // Clears the clipboard and puts the text on it as plain text.
    virtual void setText(const std::string& text) = 0;
};

struct LocalDateTime {
    int year = 2000;
    int month = 1;
    int day = 1;
    int hour = 0;
    int minute = 0;
    int second = 0;
};

// Time and place: the millisecond clock, the wall clock, the current directory.
class PlatformPort {
public:
    virtual ~PlatformPort() = default;
    virtual std::uint32_t milliseconds() const = 0;
    virtual LocalDateTime now() const = 0;
    virtual std::string currentDirectory() const = 0;
};

// Everything the control talks to; the host keeps the objects alive. A host
// without a user (the command line) has no dialogs and no clipboard: it
// calls the control's use cases instead of clicking Open, Save, Paste and
// Copy, which then do nothing.
struct ControlPorts {
    ViewPort& view;
    WakePort& wake;
    MessagePort& messages;
    FileDialogPort* dialogs;
    ClipboardPort* clipboard;
    PlatformPort& platform;
};

} // namespace vistrel
