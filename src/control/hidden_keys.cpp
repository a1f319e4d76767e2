// SPDX-License-Identifier: MIT
#include "components/version.h"
#include "control/control_state.h"
#include "engine/snapshot_file.h"

namespace vistrel {
namespace {

constexpr int kKeyH = 72;
constexpr int kKeyV = 86;
// Exactly Ctrl and Alt: with Shift as well, or only one of them, the keys
// do nothing.
constexpr int kCtrlAlt = 2 | 4;

const char* trueFalse(bool value) {
    return value ? "True" : "False";
}

} // namespace

void VistrelControl::State::keyUp(int keyCode, int shift) {
    State& s = *this;
    if (shift != kCtrlAlt) {
        return;
    }
    if (keyCode == kKeyH) {
        const std::string text =
            "Vistrel Version : " + std::to_string(kVersionMajor) + "." +
            std::to_string(kVersionMinor) + "." + std::to_string(kVersionRevision) +
            "\r\n\r\nCtrl+Alt+V : Snapshot enable (" + trueFalse(s.snapshotArmed) + ")";
        s.messages.showMessage(text, "Vistrel hidden function");
    } else if (keyCode == kKeyV) {
        s.setSnapshotArmed(!s.snapshotArmed);
        s.messages.showMessage(std::string("Snapshot next read = ") + trueFalse(s.snapshotArmed),
                               "Current state");
    }
}

void VistrelControl::State::setSnapshotArmed(bool armed) {
    snapshotArmed = armed;
    engine.armSnapshot(armed ? std::optional<std::string>(pathInCurrentDirectory(kSnapshotFileName))
                             : std::nullopt);
}

} // namespace vistrel
