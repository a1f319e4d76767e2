// SPDX-License-Identifier: MIT
#pragma once

#include "control/ports.h"
#include "fakes/recording_message_port.h"

#include <atomic>
#include <cstdint>
#include <initializer_list>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// Fakes of the control's ports: they remember what the control showed and
// answer what a test sets up.
namespace vistrel::testing {

class FakeView : public ViewPort {
public:
    std::map<std::string, std::string, std::less<>> panels;
    // The tool state of each button that was set, as tools() shows it.
    std::map<std::string, std::string, std::less<>> buttons;
    std::string methodBoxText;
    bool methodBoxEnabled = true;
    std::vector<std::string> lengthSizes;
    std::string lengthSize; // the label selected
    std::string session;
    std::string caption;
    // Item rows, row 1 first; an empty list shows as no item row.
    std::vector<GridRow> rows;
    bool valuesStale = false;
    std::vector<MousePointer> pointerHistory;

    // The text of a panel; "" for one never written.
    std::string panel(std::string_view key) const {
        const auto it = panels.find(key);
        return it == panels.end() ? std::string() : it->second;
    }
    // The texts of the panels named, joined by "|".
    std::string panelLine(std::initializer_list<std::string_view> keys) const {
        std::string line;
        const char* separator = "";
        for (const std::string_view key : keys) {
            line += std::exchange(separator, "|") + panel(key);
        }
        return line;
    }
    // The tool states of the buttons named, as "Start:E- Stop:-P": E when
    // enabled, P when pressed (a button never set is enabled and up); one
    // string compares them all at once.
    std::string tools(std::initializer_list<std::string_view> keys) const {
        std::string text;
        for (const std::string_view key : keys) {
            const auto it = buttons.find(key);
            text += (text.empty() ? "" : " ") + std::string(key) + ":" +
                    (it == buttons.end() ? "E-" : it->second);
        }
        return text;
    }
    std::vector<std::string> column(std::size_t column) const {
        std::vector<std::string> cells;
        for (const auto& row : rows) {
            cells.push_back(row[column]);
        }
        return cells;
    }
    std::vector<std::string> valueColumn() const { return column(1); }
    void setPanelText(std::string_view key, const std::string& text) override {
        panels[std::string(key)] = text;
    }
    void setButtonEnabled(std::string_view key, bool enabled) override {
        buttons.try_emplace(std::string(key), "E-").first->second[0] = enabled ? 'E' : '-';
    }
    void setButtonPressed(std::string_view key, bool pressed) override {
        buttons.try_emplace(std::string(key), "E-").first->second[1] = pressed ? 'P' : '-';
    }

    void clearMethods() override {}
    void addMethod(const std::string&) override {}
    void setMethodText(const std::string& label) override { methodBoxText = label; }
    void setMethodEnabled(bool enabled) override { methodBoxEnabled = enabled; }

    void addLengthSize(const std::string& label, int) override { lengthSizes.push_back(label); }
    void selectLengthSize(int index) override {
        lengthSize = index < 0 ? "" : lengthSizes.at(static_cast<std::size_t>(index));
    }

    void setSessionText(const std::string& text) override { session = text; }
    void setProtocolCaption(const std::string& text) override { caption = text; }

    void setGridColumns(const std::vector<GridColumn>&) override {}
    void setGridRows(std::vector<GridRow> newRows) override { rows = std::move(newRows); }
    void setValueColumn(const std::vector<ValueCell>& values) override {
        for (std::size_t r = 0; r < values.size() && r < rows.size(); ++r) {
            rows[r][1] = values[r].text;
        }
    }

    void setValuesStale(bool stale) override { valuesStale = stale; }

    void setMousePointer(MousePointer pointer) override { pointerHistory.push_back(pointer); }
};

// The test thread delivers the engine's events itself.
class FakeWake : public WakePort {
public:
    void wake() override {}
};

class FakeDialogs : public FileDialogPort {
public:
    // The answer of every dialog; nullopt is a cancel.
    std::optional<std::string> answer;
    std::optional<std::string> openFileName(const FileDialogOptions&) override { return answer; }
    std::optional<std::string> saveFileName(const FileDialogOptions&) override { return answer; }
};

class FakeClipboard : public ClipboardPort {
public:
    std::string content;
    std::string text() const override { return content; }
    void setText(const std::string& text) override { content = text; }
};

class FakePlatform : public PlatformPort {
public:
    // Read by the engine's thread as well.
    std::atomic<std::uint32_t> clock = 0;
    LocalDateTime wallClock{2026, 12, 4, 7, 5, 9};
    std::string directory = ".";
    mutable int wallClockReadings = 0;
    std::uint32_t milliseconds() const override { return clock; }
    LocalDateTime now() const override {
        ++wallClockReadings;
        return wallClock;
    }
    std::string currentDirectory() const override { return directory; }
};

// All the ports of one control.
struct FakePorts {
    FakeView view;
    FakeWake wake;
    RecordingMessagePort messages;
    FakeDialogs dialogs;
    FakeClipboard clipboard;
    FakePlatform platform;

    ControlPorts ports() { return {view, wake, messages, &dialogs, &clipboard, platform}; }
};

} // namespace vistrel::testing
