// SPDX-License-Identifier: MIT
// UDS on CAN against the simulated ECU's socketcand server on loopback:
// exchanges per second (goal: 500, as KWP2000); with the ECU answering
// after 20 ms, item values per second of the periodic method (fast rate,
// 10 ms) against the packed one on the same link (goal: twice as many, every
// value younger than three periods); and the reader's CPU per periodic frame
// (goal: 2 µs).
#include "components/periodic_source.h"
#include "connect/link_factory.h"
#include "itemlist/vistrel_items.h"
#include "link/tcp_socket.h"
#include "sim/ecu_description.h"
#include "sim/socketcand_server.h"

#include <atomic>
#include <benchmark/benchmark.h>
#include <thread>

namespace vistrel {
namespace {

using namespace std::chrono_literals;

// 20 two-byte items in a row at 01A000.
constexpr std::size_t kItems = 20;

// The ECU's memory holds the items; its answers take latencyUs each.
std::string udsEcu(unsigned latencyUs) {
    std::string memory;
    for (std::size_t i = 0; i < kItems * 2; ++i) {
        memory += "5A ";
    }
    return "<ecu diag=\"uds\" latencyUs=\"" + std::to_string(latencyUs) +
           "\"><memory address=\"01A000\">" + memory +
           "</memory><uds maxElements=\"32\" fastMs=\"10\"/></ecu>";
}

// The simulated ECU's socketcand server on a thread, for the length of a
// benchmark.
class ServedEcu {
public:
    explicit ServedEcu(unsigned latencyUs)
        : server_(parseEcuDescription(udsEcu(latencyUs), "bench", "."), {}), thread_([this] {
              while (running_) {
                  if (const auto connection = listener_.accept(ByteLine::Clock::now() + 50ms)) {
                      server_.serve(*connection, [this] { return running_.load(); });
                  }
              }
          }) {}
    ~ServedEcu() {
        running_ = false;
        thread_.join();
    }
    std::string link() const {
        return "socketcand:127.0.0.1:" + std::to_string(listener_.port()) + ",diag=uds";
    }

private:
    TcpListener listener_{0};
    SocketcandServer server_;
    std::atomic<bool> running_{true};
    std::thread thread_;
};

void BM_UdsExchangeSocketcand(benchmark::State& state) {
    ServedEcu ecu(0);
    const auto link = makeLink(ecu.link());
    link->InitCommunication();
    ByteString reply;
    link->SendReceive(ByteString{0x10, 0x03}, reply);
    const ByteString request{0x23, 0x13, 0x01, 0xA0, 0x00, 0x02};
    for (auto _ : state) {
        link->SendReceive(request, reply);
    }
    state.counters["exchanges/s"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_UdsExchangeSocketcand)->UseRealTime()->MinTime(2.0);

// Item values per second of one method over the slow ECU, and the oldest
// value seen at the end of a read, in ms.
void readMethod(benchmark::State& state, Method method) {
    ServedEcu ecu(20000);
    const auto link = makeLink(ecu.link());
    link->InitCommunication();
    ByteString reply;
    link->SendReceive(ByteString{0x10, 0x03}, reply);
    VistrelItems items(NumberFormat::invariant());
    for (std::size_t i = 0; i < kItems; ++i) {
        char address[8];
        std::snprintf(address, sizeof address, "01A0%02zX", 2 * i);
        items.add(address).setLength(2);
    }
    items.setMethod(method);
    items.setProtocol(link);
    std::size_t values = 0;
    std::size_t reads = 0;
    for (auto _ : state) {
        ++reads;
        items.read({});
        for (const auto& item : items) {
            values += item->errorCode() == 0 ? 1 : 0;
        }
    }
    items.releaseReading();
    state.counters["values/s"] =
        benchmark::Counter(static_cast<double>(values), benchmark::Counter::kIsRate);
    // A value is at most one read old when the next read ends.
    state.counters["ms/read"] =
        benchmark::Counter(static_cast<double>(reads) / 1000.0,
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_PackedOverSlowEcu(benchmark::State& state) {
    readMethod(state, Method::DynamicallyDefinedPacked);
}
BENCHMARK(BM_PackedOverSlowEcu)->UseRealTime()->MinTime(3.0);

void BM_PeriodicOverSlowEcu(benchmark::State& state) {
    readMethod(state, Method::ReadDataByPeriodicIdentifier);
}
BENCHMARK(BM_PeriodicOverSlowEcu)->UseRealTime()->MinTime(3.0);

// Answers every request at once and sends the frames of every periodic
// identifier as soon as they are waited for.
class InstantPeriodicEcu final : public Protocol, public PeriodicSource {
public:
    std::string title() const override { return "bench"; }
    std::string subtitle() const override { return ""; }
    std::string protocolName() const override { return "UDS"; }
    std::int32_t canRid() const override { return 0; }
    std::int32_t canXid() const override { return 0; }
    CanXmlProcessor* canXml() override { return nullptr; }
    void InitCommunication() override {}
    DiagnosticFamily family() const override { return DiagnosticFamily::Uds; }
    PeriodicSource* periodicSource() override { return this; }
    void SendReceive(const ByteString& request, ByteString& reply) override {
        reply = ByteString{static_cast<std::uint8_t>(request.byte(0) + 0x40)};
        for (std::size_t i = 1; i < std::min<std::size_t>(request.length(), 4); ++i) {
            reply.append(request.byte(i));
        }
    }
    std::size_t periodicDataBytes() const override { return 7; }
    std::uint8_t periodicRate() const override { return 3; }
    bool periodicIdOfItsOwn() const override { return false; }
    std::optional<ByteString> receivePeriodic(std::chrono::milliseconds) override {
        ++frames;
        frame_.setByte(0, static_cast<std::uint8_t>(0x40 + next_));
        next_ = (next_ + 1) % kIdentifiers;
        return frame_;
    }

    std::size_t frames = 0;

private:
    // Three two-byte items in each frame.
    static constexpr std::size_t kIdentifiers = (kItems + 2) / 3;
    std::size_t next_ = 0;
    ByteString frame_{0x40, 1, 2, 3, 4, 5, 6, 7};
};

void BM_PeriodicFrameCpu(benchmark::State& state) {
    const auto ecu = std::make_shared<InstantPeriodicEcu>();
    VistrelItems items(NumberFormat::invariant());
    for (std::size_t i = 0; i < kItems; ++i) {
        char address[8];
        std::snprintf(address, sizeof address, "01A0%02zX", 2 * i);
        items.add(address).setLength(2);
    }
    items.setMethod(Method::ReadDataByPeriodicIdentifier);
    items.setProtocol(ecu);
    items.read({});
    ecu->frames = 0;
    for (auto _ : state) {
        items.read({});
    }
    state.counters["ns/frame"] =
        benchmark::Counter(static_cast<double>(ecu->frames) * 1e-9,
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_PeriodicFrameCpu);

} // namespace
} // namespace vistrel
