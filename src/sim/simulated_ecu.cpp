// SPDX-License-Identifier: MIT
#include "sim/simulated_ecu.h"

#include "components/error.h"
#include "components/error_numbers.h"
#include "components/negative_response.h"
#include "components/uds_negative_response.h"
#include "sim/can_xml_batch.h"
#include "sim/demo_ecu.h"
#include "sim/ecu_description.h"
#include "sim/ecu_responder.h"

#include <algorithm>
#include <atomic>
#include <mutex>
#include <thread>

namespace vistrel {
namespace {

// The quiet time after which a UDS tester keeps the session with
// TesterPresent, well within the ECU's S3 of 5 s.
constexpr auto kTesterPresentGap = std::chrono::seconds(2);

} // namespace

struct SimulatedEcu::Impl {
    explicit Impl(const EcuDescription& description)
        : title(description.title), subtitle(description.subtitle),
          protocolName(description.protocolName), family(description.family), rid(description.rid),
          xid(description.xid), latencyUs(description.latencyUs),
          responder(makeResponder(description)), clock(clockOrSteady({})),
          batch([this](const ByteString& request, ByteString& reply) {
              return exchange(request, reply);
          }) {}

    // One request and its answer: the common path of SendReceive and of every
    // frame of a CAN-XML batch.
    Answer exchange(const ByteString& request, ByteString& reply) {
        // Sleep outside the lock so fault calls are not held up by it.
        if (const std::uint32_t latency = latencyUs.load(std::memory_order_relaxed)) {
            std::this_thread::sleep_for(std::chrono::microseconds(latency));
        }
        const std::lock_guard lock(mutex);
        exchanges.fetch_add(1, std::memory_order_relaxed);
        lastRequest = clock();
        // A buffer of its own, so that the request is read whole even when a
        // caller passes one object as both request and reply.
        const Answer answer = responder->answer(request.bytes(), answerBuffer);
        reply = answerBuffer;
        return answer;
    }

    const std::string title;
    const std::string subtitle;
    std::string protocolName;
    const DiagnosticFamily family;
    const std::int32_t rid;
    const std::int32_t xid;
    std::atomic<std::uint32_t> latencyUs;
    std::atomic<std::uint64_t> exchanges{0};
    mutable std::mutex mutex;
    std::unique_ptr<EcuResponder> responder;
    EcuClock clock;
    std::chrono::steady_clock::time_point lastRequest{};
    ByteString answerBuffer;
    CanXmlBatch batch;
};

SimulatedEcu::SimulatedEcu(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}

SimulatedEcu::~SimulatedEcu() = default;

std::shared_ptr<SimulatedEcu> SimulatedEcu::fromFile(const std::string& path) {
    return fromDescription(loadEcuDescription(path));
}

std::shared_ptr<SimulatedEcu> SimulatedEcu::fromText(std::string_view xml,
                                                     const std::string& sourceName,
                                                     const std::string& baseDirectory) {
    return fromDescription(parseEcuDescription(xml, sourceName, baseDirectory));
}

std::shared_ptr<SimulatedEcu> SimulatedEcu::demo() {
    return fromDescription(loadEcuDescription({}));
}

std::shared_ptr<SimulatedEcu> SimulatedEcu::demoUds() {
    return fromDescription(loadEcuDescription(kDemoUdsName));
}

std::shared_ptr<SimulatedEcu> SimulatedEcu::fromDescription(const EcuDescription& description) {
    return std::shared_ptr<SimulatedEcu>(new SimulatedEcu(std::make_unique<Impl>(description)));
}

std::string SimulatedEcu::title() const {
    return impl_->title;
}

std::string SimulatedEcu::subtitle() const {
    return impl_->subtitle;
}

std::string SimulatedEcu::protocolName() const {
    const std::lock_guard lock(impl_->mutex);
    return impl_->protocolName;
}

std::int32_t SimulatedEcu::canRid() const {
    return impl_->rid;
}

std::int32_t SimulatedEcu::canXid() const {
    return impl_->xid;
}

void SimulatedEcu::InitCommunication() {
    const std::lock_guard lock(impl_->mutex);
    EcuFaults& faults = impl_->responder->faults();
    if (faults.initFailures > 0) {
        --faults.initFailures;
        throw Error(kInitFailedError, faults.initText, "SimulatedEcu.InitCommunication");
    }
}

void SimulatedEcu::SendReceive(const ByteString& request, ByteString& reply) {
    const Answer answer = impl_->exchange(request, reply);
    switch (answer.kind) {
    case Answer::Kind::Positive:
    case Answer::Kind::Suppressed:
        return;
    case Answer::Kind::Negative:
        throw impl_->family == DiagnosticFamily::Uds
            ? udsNegativeResponseError(answer.sid, answer.nrc)
            : negativeResponseError(answer.sid, answer.nrc);
    case Answer::Kind::None:
        throw Error(kNoAnswerError, kNoAnswerText, "SimulatedEcu.SendReceive");
    }
}

CanXmlProcessor* SimulatedEcu::canXml() {
    return &impl_->batch;
}

void SimulatedEcu::refuse(std::uint32_t address, std::uint32_t length, std::uint8_t service,
                          std::uint8_t nrc) {
    const std::lock_guard lock(impl_->mutex);
    impl_->responder->faults().refused.push_back({{address, length}, service, nrc});
}

void SimulatedEcu::silence(std::uint32_t address, std::uint32_t length) {
    const std::lock_guard lock(impl_->mutex);
    impl_->responder->faults().silent.push_back({address, length});
}

void SimulatedEcu::failSession(int count, std::uint8_t nrc) {
    const std::lock_guard lock(impl_->mutex);
    EcuFaults& faults = impl_->responder->faults();
    faults.sessionFailures = count;
    faults.sessionNrc = nrc;
}

void SimulatedEcu::clearFaults() {
    const std::lock_guard lock(impl_->mutex);
    EcuFaults& faults = impl_->responder->faults();
    faults.refused.clear();
    faults.silent.clear();
    faults.initFailures = 0;
    faults.sessionFailures = 0;
}

ExchangeCost SimulatedEcu::exchangeCost() const {
    // Even an instant exchange costs more than reading a few more bytes.
    const auto latency = std::chrono::microseconds(
        std::max<std::uint32_t>(1, impl_->latencyUs.load(std::memory_order_relaxed)));
    return {latency, std::chrono::nanoseconds(0)};
}

void SimulatedEcu::setLatencyMicroseconds(std::uint32_t latency) {
    impl_->latencyUs.store(latency, std::memory_order_relaxed);
}

void SimulatedEcu::setProtocolName(std::string name) {
    const std::lock_guard lock(impl_->mutex);
    impl_->protocolName = std::move(name);
}

void SimulatedEcu::setClock(EcuClock clock) {
    const std::lock_guard lock(impl_->mutex);
    impl_->clock = clockOrSteady(clock);
    impl_->responder->setClock(std::move(clock));
}

DiagnosticFamily SimulatedEcu::family() const {
    return impl_->family;
}

void SimulatedEcu::keepAlive() {
    if (impl_->family != DiagnosticFamily::Uds) {
        return;
    }
    const std::lock_guard lock(impl_->mutex);
    if (impl_->clock() - impl_->lastRequest < kTesterPresentGap) {
        return;
    }
    // What every UDS link sends when idle: TesterPresent without a reply.
    impl_->lastRequest = impl_->clock();
    const std::uint8_t testerPresent[] = {0x3E, 0x80};
    impl_->responder->answer(testerPresent, impl_->answerBuffer);
}

std::uint64_t SimulatedEcu::exchangeCount() const noexcept {
    return impl_->exchanges.load(std::memory_order_relaxed);
}

} // namespace vistrel
