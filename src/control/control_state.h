#pragma once

#include "components/byte_string.h"
#include "components/number_format.h"
#include "components/protocol.h"
#include "control/ports.h"
#include "control/record_file.h"
#include "control/triggered_recording.h"
#include "control/vistrel_control.h"
#include "itemlist/vistrel_items.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <pugixml.hpp>
#include <string>
#include <vector>

namespace vistrel {

// Everything the control holds between two events: the ports it was given
// and its own state.
struct VistrelControl::State : ControlPorts {
    State(ControlPorts ports, NumberFormat numberFormat)
        : ControlPorts(ports), items(std::move(numberFormat)) {}

    std::shared_ptr<Protocol> currentProtocol;
    std::string startSession;
    std::array<std::string, 4> spinFrames;
    std::int32_t spinIndex = 0;
    ByteString sessionRequest;
    ByteString sessionReply;
    std::unique_ptr<pugi::xml_document> snapshotDoc;
    pugi::xml_node snapshotRoot;
    std::unique_ptr<pugi::xml_document> canRequestDoc;
    // The processor that performs canRequestDoc; owned by the list's protocol,
    // which Start alone replaces.
    CanXmlProcessor* batchProcessor = nullptr;
    std::unique_ptr<pugi::xml_document> timingsDoc;
    CyclePhase cycleState = CyclePhase::Idle;
    bool recording = false;
    bool abortPending = false;
    // The millisecond clock when the recording started; elapsed times are
    // taken modulo 2^32 so that a clock wrap between two reads does no harm.
    std::uint32_t recordStart = 0;
    bool snapshotArmed = false;
    VistrelItems items;
    std::string recordFileName;
    std::unique_ptr<RecordFile> recordFile;
    // Set by the host: Rec then waits for a condition instead of opening a
    // file at once.
    std::optional<RecordingTrigger> recordingTrigger;
    // Present while Rec is pressed with a trigger set.
    std::unique_ptr<TriggeredRecording> triggered;
    std::string recordLine;
    // The value column of the last read, kept to reuse its storage.
    std::vector<std::string> values;

    // The files of the control lie in the platform's current directory.
    std::string pathInCurrentDirectory(const std::string& name) const {
        return (std::filesystem::path(platform.currentDirectory()) / name).string();
    }
};

} // namespace vistrel
