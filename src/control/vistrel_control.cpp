// SPDX-License-Identifier: MIT
#include "control/vistrel_control.h"

#include "components/protocol.h"
#include "control/control_state.h"

namespace vistrel {
namespace {

constexpr std::int32_t kLengthSizes = 2;

std::string lengthSizeLabel(std::int32_t size) {
    return size == 1 ? "1 byte" : std::to_string(size) + " bytes";
}

} // namespace

VistrelControl::State::State(ControlPorts ports, NumberFormat numberFormat)
    : ControlPorts(ports), items(std::make_unique<VistrelItems>(std::move(numberFormat))),
      engine([&clock = ports.platform] { return clock.milliseconds(); },
             [&wakePort = ports.wake] { wakePort.wake(); }) {}

VistrelControl::VistrelControl(ControlPorts ports, NumberFormat numberFormat)
    : state_(std::make_unique<State>(ports, std::move(numberFormat))) {
    state_->initialise();
}

VistrelControl::~VistrelControl() = default;

// --- the state's own operations ---------------------------------------------

void VistrelControl::State::initialise() {
    snapshotArmed = false;
    // The method box lists the list's methods up to the first empty label.
    view.clearMethods();
    for (std::int32_t i = 0;; ++i) {
        const std::string label = VistrelItems::MethodeLabel(i);
        if (label.empty()) {
            break;
        }
        view.addMethod(label);
        if (i == 0) {
            methodChoice = label;
            view.setMethodText(label);
        }
    }
    for (std::int32_t size = 1; size <= kLengthSizes; ++size) {
        view.addLengthSize(lengthSizeLabel(size), size);
    }
    lengthSizeChoice = 1;
    view.selectLengthSize(0);
    setStartSession("10A0");
    spinFrames = {"--", "\\", "|", "/"};
    // The control, not each view, decides the tools of an empty list: no
    // Start, Stop, Rec or Save before there is something to read or save.
    for (const auto key : {button::kStart, button::kStop, button::kRec, button::kSave}) {
        view.setButtonEnabled(key, false);
    }
}

void VistrelControl::State::setProtocol(std::shared_ptr<Protocol> protocol) {
    if (!protocol) {
        return;
    }
    currentProtocol = std::move(protocol);
    engine.setLink(currentProtocol, ++generation);
    createGrid();
    view.setProtocolCaption(currentProtocol->title() + " : " + currentProtocol->subtitle());
    if (running) {
        // The engine opens the communication again over the new link.
        view.setPanelText(panel::kCom, "Init");
        view.setPanelText(panel::kRun, "");
    }
}

void VistrelControl::State::setStartSession(std::string newValue) {
    items->setStartSession(std::move(newValue));
    sessionText = items->StartSession();
    view.setSessionText(sessionText);
}

void VistrelControl::State::hide() {
    engine.stop();
    // Whatever the engine still reports of the old cycle is not shown.
    ++generation;
    running = false;
    cycleState = CyclePhase::Idle;
    stopRecording();
    items->clear();
    values.clear();
    health.reset();
    listChanged = false;
    // The grid and the tools follow the emptied list, and the tools are
    // those of an idle control, so that a control shown again offers Paste
    // and the method box rather than a dead end.
    refreshFromList();
    view.setButtonPressed(button::kStart, false);
    view.setButtonPressed(button::kStop, true);
    view.setButtonEnabled(button::kPaste, true);
    view.setMethodEnabled(true);
    for (const auto key : {panel::kCom, panel::kRun}) {
        view.setPanelText(key, "");
    }
    setStatus("");
}

// --- public interface ---------------------------------------------------------

const std::shared_ptr<Protocol>& VistrelControl::CurrentProtocol() const noexcept {
    return state_->currentProtocol;
}

void VistrelControl::setCurrentProtocol(std::shared_ptr<Protocol> protocol) {
    State& s = *state_;
    s.currentProtocol = std::move(protocol);
    s.engine.setLink(s.currentProtocol, ++s.generation);
}

void VistrelControl::setProtocol(std::shared_ptr<Protocol> protocol) {
    state_->setProtocol(std::move(protocol));
}

const std::string& VistrelControl::StartSession() const noexcept {
    return state_->items->StartSession();
}

void VistrelControl::setStartSession(std::string newValue) {
    state_->setStartSession(std::move(newValue));
}

void VistrelControl::Abort() {
    state_->engine.abort();
}

void VistrelControl::GridCreate() {
    state_->createGrid();
}

void VistrelControl::hide() {
    state_->hide();
}

PasteResult VistrelControl::pasteText(std::string_view text) {
    return state_->pasteText(text);
}

bool VistrelControl::clipboardHoldsItemLines() const {
    return state_->clipboardHoldsItemLines();
}

CommandResult VistrelControl::openConfigFile(const std::string& path) {
    return state_->openConfigFile(path);
}

CommandResult VistrelControl::saveConfigFile(const std::string& path) {
    return state_->saveConfigFile(path);
}

std::string VistrelControl::copyText() const {
    return state_->copyText();
}

void VistrelControl::start() {
    state_->start();
}

void VistrelControl::stop() {
    state_->stop();
}

CommandResult VistrelControl::startRecording() {
    return state_->startRecording();
}

void VistrelControl::stopRecording() {
    state_->stopRecording();
}

void VistrelControl::setSnapshotArmed(bool armed) {
    state_->setSnapshotArmed(armed);
}

std::vector<EngineEvent> VistrelControl::deliverEvents(std::size_t most) {
    return state_->deliverEvents(most);
}

bool VistrelControl::waitForEvents(std::chrono::milliseconds timeout) {
    return state_->engine.waitForEvents(timeout);
}

void VistrelControl::subscribe(std::function<void(const EngineEvent&)> listener) {
    state_->listeners.push_back(std::move(listener));
}

const LinkHealth& VistrelControl::linkHealth() const noexcept {
    return state_->health;
}

std::string VistrelControl::linkInWords() const {
    const State& s = *state_;
    if (!s.currentProtocol) {
        return {};
    }
    return s.health.describeLink(s.currentProtocol->title() + " " + s.currentProtocol->subtitle(),
                                 s.platform.milliseconds());
}

bool VistrelControl::chooseMethod(std::string_view label) {
    State& s = *state_;
    for (std::int32_t i = 0;; ++i) {
        const std::string known = VistrelItems::MethodeLabel(i);
        if (known.empty()) {
            return false;
        }
        if (known == label) {
            s.listChanged = s.listChanged || known != s.methodChoice;
            s.methodChoice = known;
            s.view.setMethodText(known);
            return true;
        }
    }
}

bool VistrelControl::chooseLengthSize(std::int32_t size) {
    State& s = *state_;
    if (size < 1 || size > kLengthSizes) {
        return false;
    }
    s.listChanged = s.listChanged || size != s.lengthSizeChoice;
    s.lengthSizeChoice = size;
    s.view.selectLengthSize(size - 1);
    return true;
}

void VistrelControl::editSessionText(std::string text) {
    State& s = *state_;
    s.listChanged = s.listChanged || text != s.sessionText;
    s.sessionText = std::move(text);
}

void VistrelControl::toolbarClick(std::string_view key) {
    state_->toolbarClick(key);
}

void VistrelControl::keyUp(int keyCode, int shift) {
    state_->keyUp(keyCode, shift);
}

void VistrelControl::setRecordingTrigger(std::optional<RecordingTrigger> trigger) {
    state_->recordingTrigger = std::move(trigger);
}

const std::optional<RecordingTrigger>& VistrelControl::recordingTrigger() const noexcept {
    return state_->recordingTrigger;
}

CyclePhase VistrelControl::cycleState() const noexcept {
    return state_->cycleState;
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
std::string VistrelControl::recordingHeader() const {
    return state_->recordingHeader();
}
const std::string& VistrelControl::readLine() const noexcept {
    return state_->readLine;
}
const std::string& VistrelControl::methodChoice() const noexcept {
    return state_->methodChoice;
}
std::int32_t VistrelControl::lengthSizeChoice() const noexcept {
    return state_->lengthSizeChoice;
}
const std::string& VistrelControl::sessionText() const noexcept {
    return state_->sessionText;
}

bool VistrelControl::listChanged() const noexcept {
    // An empty list has nothing to lose.
    return state_->listChanged && state_->items->count() > 0;
}
VistrelItems& VistrelControl::items() noexcept {
    return *state_->items;
}
const VistrelItems& VistrelControl::items() const noexcept {
    return *state_->items;
}

} // namespace vistrel
