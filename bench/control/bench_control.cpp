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
#include <ctime>
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
    void setValueColumn(const std::vector<ValueCell>& values) override {
        benchmark::DoNotOptimize(values.data());
    }
    void setValuesStale(bool) override {}
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

    // Shows the engine's events up to the next good read; how many good
    // reads they held (the host shows all the reads that piled up).
    int nextGoodRead() {
        for (;;) {
            control.waitForEvents(std::chrono::seconds(1));
            int reads = 0;
            for (const auto& event : control.deliverEvents()) {
                reads += event.outcome.kind == vistrel::StepOutcome::Kind::GoodRead ? 1 : 0;
            }
            if (reads > 0) {
                return reads;
            }
        }
    }

    // Reads shown as a host shows them, in the benchmark's iterations: the
    // wall time and the whole process's CPU time (both threads) they took,
    // with the protocol's share counted afresh in link->inside.
    struct Spent {
        Clock::duration wall;
        std::chrono::nanoseconds cpu;
        double reads = 0;
    };
    Spent timeReads(benchmark::State& state) {
        const auto start = Clock::now();
        const auto cpuStart = processCpu();
        link->inside = 0;
        double reads = 0;
        for (auto _ : state) {
            reads += nextGoodRead();
        }
        return {Clock::now() - start, processCpu() - cpuStart, reads};
    }
    static std::chrono::nanoseconds processCpu() {
        timespec now{};
        clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
        return std::chrono::seconds(now.tv_sec) + std::chrono::nanoseconds(now.tv_nsec);
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

// One read of 1,000 items with recording on: the CPU time of both threads
// beyond the protocol's calls, per item. Goal: at most 250 ns per item.
void BM_TickOf1000ItemsRecording(benchmark::State& state) {
    constexpr int kCount = 1000;
    Bench bench(kCount, 0);
    const Bench::Spent spent = bench.timeReads(state);
    const double inside = std::chrono::duration<double, std::nano>(bench.insideProtocol()).count();
    const double cpu = std::chrono::duration<double, std::nano>(spent.cpu).count();
    state.counters["outside_ns_per_item"] = (cpu - inside) / spent.reads / kCount;
    state.counters["protocol_ns_per_item"] = inside / spent.reads / kCount;
}
BENCHMARK(BM_TickOf1000ItemsRecording)->Unit(benchmark::kMicrosecond);

// A cycle of 100 items when every exchange takes 500 us: the share of the
// engine's cycle spent outside the protocol calls. Goal: at most 1 %.
void BM_CycleOf100ItemsAt500us(benchmark::State& state) {
    constexpr int kCount = 100;
    Bench bench(kCount, 500);
    const Bench::Spent spent = bench.timeReads(state);
    const double wall = std::chrono::duration<double, std::micro>(spent.wall).count();
    const double outside =
        wall - std::chrono::duration<double, std::micro>(bench.insideProtocol()).count();
    state.counters["outside_us_per_cycle"] = outside / spent.reads;
    state.counters["cycle_us"] = wall / spent.reads;
    state.counters["outside_percent"] = 100.0 * outside / wall;
}
BENCHMARK(BM_CycleOf100ItemsAt500us)->Unit(benchmark::kMillisecond)->Iterations(40);

} // namespace
} // namespace vistrel
