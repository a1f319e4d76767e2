// SPDX-License-Identifier: MIT
// What one read of the polling cycle costs beyond the protocol's own time.
#include "control/vistrel_control.h"
#include "fakes/scratch_directory.h"
#include "fakes/simulator_link.h"
#include "sim/simulated_ecu.h"

#include <atomic>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdlib>
#include <string>

namespace vistrel {
namespace {

using Clock = std::chrono::steady_clock;

// A view that shows nothing: the control's own cost without any drawing.
class NullView : public ViewPort {
public:
    void setPanelText(std::string_view, const std::string&) override {}
    void setButtonEnabled(std::string_view, bool) override {}
    void setButtonPressed(std::string_view, bool) override {}
    void clearMethods() override {}
    void addMethod(const std::string&) override {}
    void setMethodText(const std::string&) override {}
    void setMethodEnabled(bool) override {}
    void addLengthSize(const std::string&, int) override {}
    void selectLengthSize(int) override {}
    void setSessionText(const std::string&) override {}
    void setProtocolCaption(const std::string&) override {}
    void setGridColumns(const std::vector<GridColumn>&) override {}
    void setGridRows(std::vector<GridRow>) override {}
    void setValueColumn(const std::vector<std::string>& values) override {
        benchmark::DoNotOptimize(values.data());
    }
    void setMousePointer(MousePointer) override {}
};

class NullWake : public WakePort {
public:
    void wake() override {}
};
class NullMessages : public MessagePort {
public:
    void showMessage(const std::string&, const std::string&) override {}
};
class RealPlatform : public PlatformPort {
public:
    std::string directory;
    std::uint32_t milliseconds() const override {
        return static_cast<std::uint32_t>(
            std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now().time_since_epoch())
                .count());
    }
    LocalDateTime now() const override { return {}; }
    std::string currentDirectory() const override { return directory; }
};

// Counts the time spent inside the protocol object's calls (on the
// engine's thread).
class TimedLink : public testing::SimulatorLink {
public:
    using SimulatorLink::SimulatorLink;
    std::atomic<Clock::rep> inside{0};

    void InitCommunication() override {
        const auto start = Clock::now();
        SimulatorLink::InitCommunication();
        inside += (Clock::now() - start).count();
    }
    void SendReceive(const ByteString& request, ByteString& reply) override {
        const auto start = Clock::now();
        SimulatorLink::SendReceive(request, reply);
        inside += (Clock::now() - start).count();
    }
};

// An ECU with a block of count two-byte values, and the item lines that
// read them in the three number displays.
std::string ecuDescription(int count) {
    std::string bytes;
    for (int i = 0; i < 2 * count; ++i) {
        static constexpr char kDigits[] = "0123456789ABCDEF";
        bytes += kDigits[(i * 7) % 16];
        bytes += kDigits[(i * 3) % 16];
        bytes += ' ';
    }
    return R"(<ecu title="Bench" subtitle="ECU" protocolName="KWP2000" addressSize="3" rid="1" xid="2">)"
           R"(<memory address="100000">)" +
           bytes + "</memory></ecu>";
}

std::string itemLines(int count) {
    static constexpr const char* kFormats[] = {"D", "H", "P"};
    std::string lines;
    for (int i = 0; i < count; ++i) {
        char address[16];
        std::snprintf(address, sizeof address, "%06X", 0x100000 + 2 * i);
        lines += std::string(address) + "\t2\tLE\tValue " + std::to_string(i) +
                 "\tunit\t0.1\t-40\t3\t" + kFormats[i % 3] + "\t1\r\n";
    }
    return lines;
}

// A control reading `count` items from the simulator, recording, in a
// scratch directory; its engine reads back to back.
struct Bench {
    explicit Bench(int count, std::uint32_t latencyUs) {
        platform.directory = directory.path().string();
        auto ecu = SimulatedEcu::fromText(ecuDescription(count), "bench");
        ecu->setLatencyMicroseconds(latencyUs);
        link = std::make_shared<TimedLink>(ecu);
        control.setProtocol(link);
        control.pasteText(itemLines(count));
        control.startRecording();
        control.start();
        nextGoodRead();
        if (!control.recording() || control.cycleState() != vistrel::CyclePhase::Run) {
            std::abort();
        }
    }
    ~Bench() { control.hide(); }

    // Shows the engine's events up to the next good read.
    void nextGoodRead() {
        for (;;) {
            control.waitForEvents(std::chrono::seconds(1));
            for (const auto& event : control.deliverEvents()) {
                if (event.outcome.kind == vistrel::StepOutcome::Kind::GoodRead) {
                    return;
                }
            }
        }
    }

    // One good read per benchmark iteration, shown as a host shows it: the
    // time from read to read in all, with the protocol's share of it counted
    // afresh in link->inside.
    Clock::duration timeReads(benchmark::State& state) {
        const auto start = Clock::now();
        link->inside = 0;
        for (auto _ : state) {
            nextGoodRead();
        }
        return Clock::now() - start;
    }
    Clock::duration insideProtocol() const { return Clock::duration(link->inside.load()); }

    testing::ScratchDirectory directory;
    NullView view;
    NullWake wake;
    NullMessages messages;
    RealPlatform platform;
    VistrelControl control{{view, wake, messages, nullptr, nullptr, platform},
                           NumberFormat::invariant()};
    std::shared_ptr<TimedLink> link;
};

// One read of 1,000 items with recording on: the time beyond the
// protocol's calls, per item. Goal: at most 1 us per item.
void BM_TickOf1000ItemsRecording(benchmark::State& state) {
    constexpr int kCount = 1000;
    Bench bench(kCount, 0);
    const Clock::duration total = bench.timeReads(state);
    const Clock::duration inside = bench.insideProtocol();
    const double outsideNs = std::chrono::duration<double, std::nano>(total - inside).count();
    state.counters["outside_ns_per_item"] =
        outsideNs / static_cast<double>(state.iterations()) / kCount;
    state.counters["protocol_ns_per_item"] =
        std::chrono::duration<double, std::nano>(inside).count() /
        static_cast<double>(state.iterations()) / kCount;
}
BENCHMARK(BM_TickOf1000ItemsRecording)->Unit(benchmark::kMicrosecond);

// A cycle of 100 items when every exchange takes 500 us: the share of the
// cycle spent outside the protocol calls. Goal: at most 1 %.
void BM_CycleOf100ItemsAt500us(benchmark::State& state) {
    constexpr int kCount = 100;
    Bench bench(kCount, 500);
    const Clock::duration total = bench.timeReads(state);
    const auto iterations = static_cast<double>(state.iterations());
    const double outside =
        std::chrono::duration<double, std::micro>(total - bench.insideProtocol()).count() /
        iterations;
    const double cycle = std::chrono::duration<double, std::micro>(total).count() / iterations;
    state.counters["outside_us_per_cycle"] = outside;
    state.counters["cycle_us"] = cycle;
    state.counters["outside_percent"] = 100.0 * outside / cycle;
}
BENCHMARK(BM_CycleOf100ItemsAt500us)->Unit(benchmark::kMillisecond)->Iterations(40);

} // namespace
} // namespace vistrel
