// SPDX-License-Identifier: MIT
#include "sim/elm_adapter_service.h"

#include <array>
#include <chrono>

namespace vistrel {
namespace {

// How often the service looks at its stop flag and its events.
constexpr std::chrono::milliseconds kPollSlice{20};
// How long the adapter works on a request with the stopped quirk.
constexpr std::chrono::milliseconds kWorkTime{30};

} // namespace

ElmAdapterService::ElmAdapterService(const EcuDescription& description, bool clone,
                                     ElmQuirks quirks)
    : responder_(makeResponder(description)),
      adapter_([this](const ByteString& request,
                      ByteString& reply) { return responder_->answer(request.bytes(), reply); },
               clone, quirks),
      stoppable_(quirks.stopped) {}

void ElmAdapterService::serve(ByteLine& line, const std::function<bool()>& keepGoing) {
    std::array<std::uint8_t, 256> buffer{};
    {
        const std::lock_guard lock(mutex_);
        serving_ = true;
    }
    struct Done {
        ElmAdapterService& service;
        ~Done() {
            const std::lock_guard lock(service.mutex_);
            service.serving_ = false;
            service.rebooted_.notify_all();
        }
    } done{*this};
    while (keepGoing()) {
        std::unique_lock lock(mutex_);
        if (rebootRequested_) {
            // What the tester sent before the restart is lost with it.
            line.discardInput();
            send(line, adapter_.reboot());
            rebootRequested_ = false;
            rebooted_.notify_all();
        }
        lock.unlock();
        const std::size_t n = line.read(buffer, line.now() + kPollSlice);
        if (n == 0) {
            continue;
        }
        send(line, answer(line, std::string_view(reinterpret_cast<const char*>(buffer.data()), n)));
    }
}

std::string ElmAdapterService::answer(ByteLine& line, std::string_view bytes) {
    std::string out;
    bool working = false;
    {
        const std::lock_guard lock(mutex_);
        out = adapter_.receive(bytes);
        working = stoppable_ && adapter_.workedOnRequest();
    }
    std::array<std::uint8_t, 64> more{};
    if (working && line.read(more, line.now() + kWorkTime) != 0) {
        // The byte that stopped the request is taken by the stop.
        const std::lock_guard lock(mutex_);
        return adapter_.stop();
    }
    return out;
}

void ElmAdapterService::reboot() {
    std::unique_lock lock(mutex_);
    rebootRequested_ = true;
    rebooted_.wait(lock, [this] { return !rebootRequested_ || !serving_; });
}

void ElmAdapterService::rebootOnNextRequest() {
    const std::lock_guard lock(mutex_);
    adapter_.rebootOnNextRequest();
}

void ElmAdapterService::sayOnNextRequest(std::string words, bool thenReply) {
    const std::lock_guard lock(mutex_);
    adapter_.sayOnNextRequest(std::move(words), thenReply);
}

void ElmAdapterService::send(ByteLine& line, const std::string& text) {
    if (!text.empty()) {
        line.write(std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
    }
}

} // namespace vistrel
