#include "control/vistrel_control.h"

#include "components/protocol.h"
#include "control/control_state.h"
#include "itemlist/abort_request.h"

namespace vistrel {

VistrelControl::VistrelControl(ControlPorts ports, NumberFormat numberFormat)
    : state_(std::make_unique<State>(ports, std::move(numberFormat))) {
    State& s = *state_;
    s.items.setMessagePort(&s.messages);
    s.snapshotArmed = false;

    // The method box lists the list's methods up to the first empty label.
    s.view.clearMethods();
    for (std::int32_t i = 0;; ++i) {
        const std::string label = VistrelItems::MethodeLabel(i);
        if (label.empty()) {
            break;
        }
        s.view.addMethod(label);
        if (i == 0) {
            s.view.setMethodText(label);
        }
    }

    s.view.addLengthSize("1 byte", 1);
    s.view.addLengthSize("2 bytes", 2);
    s.view.selectLengthSize(0);

    setStartSession("10A0");
    s.spinFrames = {"--", "\\", "|", "/"};
}

VistrelControl::~VistrelControl() = default;

const std::shared_ptr<Protocol>& VistrelControl::CurrentProtocol() const noexcept {
    return state_->currentProtocol;
}

void VistrelControl::setCurrentProtocol(std::shared_ptr<Protocol> protocol) {
    state_->currentProtocol = std::move(protocol);
}

void VistrelControl::setProtocol(std::shared_ptr<Protocol> protocol) {
    State& s = *state_;
    s.cycleState = CyclePhase::Idle;
    // A recording of the previous protocol would stay open where nobody can
    // see or close it: close it with the rest of the reset.
    StopRecording();
    s.recording = false;
    s.abortPending = false;
    s.timer.setTimerEnabled(false);
    GridCreate();

    s.view.setButtonEnabled(button::kStart, false);
    s.view.setButtonEnabled(button::kStop, false);
    s.view.setButtonPressed(button::kStart, false);
    s.view.setButtonPressed(button::kStop, true);
    s.view.setButtonEnabled(button::kRec, false);
    s.view.setButtonPressed(button::kRec, false);
    s.view.setButtonEnabled(button::kPaste, true);

    s.view.setPanelText(panel::kCom, "");
    s.view.setPanelText(panel::kRec, "");
    s.view.setPanelText(panel::kStatus, "");

    s.items.clear();
    GridFill();

    if (protocol) {
        s.currentProtocol = std::move(protocol);
        s.view.setProtocolCaption(s.currentProtocol->title() + " : " +
                                  s.currentProtocol->subtitle());
    }
}

const std::string& VistrelControl::StartSession() const noexcept {
    return state_->startSession;
}

void VistrelControl::setStartSession(std::string newValue) {
    State& s = *state_;
    s.startSession = std::move(newValue);
    s.view.setSessionText(s.startSession);
    s.items.setStartSession(s.startSession);
}

void VistrelControl::Abort() {
    AbortRequest = true;
    state_->abortPending = true;
}

void VistrelControl::resize() {
    placeGrid();
    GridSetColWidth();
}

void VistrelControl::hide() {
    State& s = *state_;
    s.cycleState = CyclePhase::Idle;
    s.timer.setTimerEnabled(false);
    StopRecording();
    s.items.clear();
    // The grid and the tools follow the emptied list, so that a control
    // shown again offers no rows and no Start for items that are gone.
    RefreshFromList();
    AbortRequest = false;
}

CyclePhase VistrelControl::cycleState() const noexcept {
    return state_->cycleState;
}
bool VistrelControl::abortPending() const noexcept {
    return state_->abortPending;
}
bool VistrelControl::recording() const noexcept {
    return state_->recording;
}
bool VistrelControl::snapshotArmed() const noexcept {
    return state_->snapshotArmed;
}
std::int32_t VistrelControl::spinIndex() const noexcept {
    return state_->spinIndex;
}
const std::string& VistrelControl::recordFileName() const noexcept {
    return state_->recordFileName;
}
VistrelItems& VistrelControl::items() noexcept {
    return state_->items;
}
const VistrelItems& VistrelControl::items() const noexcept {
    return state_->items;
}

} // namespace vistrel
