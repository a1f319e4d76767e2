// SPDX-License-Identifier: MIT
#pragma once

#include "components/error_numbers.h"
#include "components/protocol.h"
#include "sim/ecu_clock.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace vistrel {

struct EcuDescription;

// A protocol object that answers KWP2000 or UDS requests from an ECU description:
// memory blocks, dumps, moving signals, and faults on demand. It stands in for
// a real link in the demo, the command line, the tests and the benchmarks.
// Exchanges and the fault and setting calls may come from different threads.
class SimulatedEcu : public Protocol {
public:
    // Throws Error with a message naming the file and line for a bad
    // description.
    static std::shared_ptr<SimulatedEcu> fromFile(const std::string& path);
    // sourceName names the text in error messages; baseDirectory resolves
    // "image" files.
    static std::shared_ptr<SimulatedEcu> fromText(std::string_view xml,
                                                  const std::string& sourceName,
                                                  const std::string& baseDirectory = ".");
    // The built-in demo car (the same text as examples/demo-ecu.xml).
    static std::shared_ptr<SimulatedEcu> demo();
    // Its UDS twin (examples/demo-ecu-uds.xml): the same signals, a locked
    // calibration range.
    static std::shared_ptr<SimulatedEcu> demoUds();
    static std::shared_ptr<SimulatedEcu> fromDescription(const EcuDescription& description);

    ~SimulatedEcu() override;

    // --- Protocol -----------------------------------------------------------
    std::string title() const override;
    std::string subtitle() const override;
    std::string protocolName() const override;
    std::int32_t canRid() const override;
    std::int32_t canXid() const override;
    void InitCommunication() override;
    void SendReceive(const ByteString& request, ByteString& reply) override;
    CanXmlProcessor* canXml() override;
    // The configured latency an exchange, and nothing for its size.
    ExchangeCost exchangeCost() const override;
    // UDS for a description with diag="uds"; then keepAlive keeps the
    // session as a tester's TesterPresent does. No periodic source: the
    // protocol object has no bus to carry periodic frames.
    DiagnosticFamily family() const override;
    void keepAlive() override;

    // --- faults and settings at run time (tests, soak runs) ----------------
    // A request of that service (23, 2C or 21) touching the range gets the
    // negative reply 7F service nrc.
    void refuse(std::uint32_t address, std::uint32_t length, std::uint8_t service,
                std::uint8_t nrc);
    // A read touching the range gets no answer (time-out).
    void silence(std::uint32_t address, std::uint32_t length);
    // The next `count` session requests get 7F 10 nrc.
    void failSession(int count, std::uint8_t nrc);
    // Removes every fault added at run time or by the description.
    void clearFaults();
    void setLatencyMicroseconds(std::uint32_t latency);
    void setProtocolName(std::string name);
    // The time that moves the signals; steady_clock unless a test fixes it
    // (an empty clock restores steady_clock).
    void setClock(EcuClock clock);

    // --- observation --------------------------------------------------------
    // Exchanges so far: SendReceive calls and CAN-XML request frames.
    std::uint64_t exchangeCount() const noexcept;

private:
    struct Impl;
    explicit SimulatedEcu(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> impl_;
};

} // namespace vistrel
