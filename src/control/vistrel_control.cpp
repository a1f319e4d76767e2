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

// A use case that returns its outcome: run now, or kept for after the step
// in flight, whose outcome then reaches only the views.
template <typename Result, typename Call> Result runOrDefer(VistrelControl::State& s, Call call) {
    if (!s.busy) {
        return call();
    }
    s.deferred.push_back([call] { call(); });
    Result result;
    result.deferred = true;
    return result;
}

} // namespace

VistrelControl::VistrelControl(ControlPorts ports, NumberFormat numberFormat)
    : state_(std::make_shared<State>(ports, std::move(numberFormat))) {
    state_->initialise();
}

VistrelControl::~VistrelControl() {
    // A step in flight still holds the state: it must neither touch the
    // ports, which go with their host, nor run what was kept for after it.
    State& s = *state_;
    s.detached = true;
    s.deferred.clear();
    s.items.setAbortRequest(true);
}

// --- the state's own operations ---------------------------------------------

bool VistrelControl::State::whenIdle(std::function<void()> command) {
    if (busy) {
        deferred.push_back(std::move(command));
        return false;
    }
    command();
    return true;
}

void VistrelControl::State::runDeferred() {
    // One at a time, taken off the queue before it runs: a command that lets
    // the event loop run (a dialog) may bring a tick that drains the rest.
    while (!deferred.empty() && !detached && !busy) {
        std::function<void()> command = std::move(deferred.front());
        deferred.pop_front();
        command();
    }
}

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
    cycleState = CyclePhase::Idle;
    // A recording of the previous protocol would stay open where nobody can
    // see or close it: close it with the rest of the reset.
    StopRecording();
    recording = false;
    abortPending = false;
    timer.setTimerEnabled(false);
    GridCreate();

    view.setButtonEnabled(button::kStart, false);
    view.setButtonEnabled(button::kStop, false);
    view.setButtonPressed(button::kStart, false);
    view.setButtonPressed(button::kStop, true);
    view.setButtonEnabled(button::kRec, false);
    view.setButtonPressed(button::kRec, false);
    view.setButtonEnabled(button::kPaste, true);

    view.setPanelText(panel::kCom, "");
    view.setPanelText(panel::kRec, "");
    view.setPanelText(panel::kStatus, "");

    items.clear();
    listChanged = false;
    GridFill();

    if (protocol) {
        currentProtocol = std::move(protocol);
        view.setProtocolCaption(currentProtocol->title() + " : " + currentProtocol->subtitle());
    }
}

void VistrelControl::State::setStartSession(std::string newValue) {
    items.setStartSession(std::move(newValue));
    sessionText = items.StartSession();
    view.setSessionText(sessionText);
}

void VistrelControl::State::stop() {
    view.setButtonPressed(button::kStart, false);
    view.setButtonPressed(button::kStop, true);
    abortPending = true;
    // On a slow link a whole list takes seconds to read; Stop should not
    // wait for it. An Abort already under way keeps its own meaning.
    if (busy && !items.AbortRequest()) {
        stopCutsStep = true;
        items.setAbortRequest(true);
    }
}

void VistrelControl::State::hide() {
    cycleState = CyclePhase::Idle;
    timer.setTimerEnabled(false);
    StopRecording();
    items.clear();
    listChanged = false;
    // The grid and the tools follow the emptied list, and the tools are
    // those of an idle control, so that a control shown again offers Paste
    // and the method box rather than a dead end.
    RefreshFromList();
    view.setButtonEnabled(button::kPaste, true);
    view.setMethodEnabled(true);
    items.setAbortRequest(false);
}

// --- public interface ---------------------------------------------------------

const std::shared_ptr<Protocol>& VistrelControl::CurrentProtocol() const noexcept {
    return state_->currentProtocol;
}

void VistrelControl::setCurrentProtocol(std::shared_ptr<Protocol> protocol) {
    state_->currentProtocol = std::move(protocol);
}

void VistrelControl::setProtocol(std::shared_ptr<Protocol> protocol) {
    State& s = *state_;
    s.whenIdle([&s, protocol] { s.setProtocol(protocol); });
}

const std::string& VistrelControl::StartSession() const noexcept {
    return state_->items.StartSession();
}

void VistrelControl::setStartSession(std::string newValue) {
    state_->setStartSession(std::move(newValue));
}

void VistrelControl::Abort() {
    state_->stopCutsStep = false;
    state_->items.setAbortRequest(true);
    state_->abortPending = true;
}

void VistrelControl::GridCreate() {
    state_->GridCreate();
}

void VistrelControl::hide() {
    State& s = *state_;
    s.whenIdle([&s] { s.hide(); });
}

PasteResult VistrelControl::pasteText(std::string_view text) {
    State& s = *state_;
    return runOrDefer<PasteResult>(s, [&s, kept = std::string(text)] { return s.pasteText(kept); });
}

CommandResult VistrelControl::openConfigFile(const std::string& path) {
    State& s = *state_;
    return runOrDefer<CommandResult>(s, [&s, path] { return s.openConfigFile(path); });
}

CommandResult VistrelControl::saveConfigFile(const std::string& path) {
    State& s = *state_;
    return runOrDefer<CommandResult>(s, [&s, path] { return s.saveConfigFile(path); });
}

std::string VistrelControl::copyText() const {
    return state_->copyText();
}

void VistrelControl::start() {
    State& s = *state_;
    s.whenIdle([&s] { s.start(); });
}

void VistrelControl::stop() {
    state_->stop();
}

CommandResult VistrelControl::startRecording() {
    State& s = *state_;
    return runOrDefer<CommandResult>(s, [&s] { return s.startRecording(); });
}

void VistrelControl::stopRecording() {
    State& s = *state_;
    s.whenIdle([&s] { s.StopRecording(); });
}

void VistrelControl::setSnapshotArmed(bool armed) {
    State& s = *state_;
    s.whenIdle([&s, armed] { s.snapshotArmed = armed; });
}

StepOutcome VistrelControl::step() {
    // Held here, the state outlives a control destroyed during the step.
    const std::shared_ptr<State> keep = state_;
    return keep->step();
}

void VistrelControl::tick() {
    step();
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
    State& s = *state_;
    // Stop and Copy are harmless during a read in flight; every other
    // command waits for its end.
    if (key == button::kStop || key == button::kCopy) {
        s.toolbarClick(key);
        return;
    }
    s.whenIdle([&s, key = std::string(key)] { s.toolbarClick(key); });
}

void VistrelControl::keyUp(int keyCode, int shift) {
    State& s = *state_;
    s.whenIdle([&s, keyCode, shift] { s.keyUp(keyCode, shift); });
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
    return state_->listChanged && state_->items.count() > 0;
}
VistrelItems& VistrelControl::items() noexcept {
    return state_->items;
}
const VistrelItems& VistrelControl::items() const noexcept {
    return state_->items;
}

} // namespace vistrel
