// SPDX-License-Identifier: MIT
// The packed and merged methods against the simulated ECU: which exchanges
// they make, and that every item ends as it would when read on its own.
#include "components/error_numbers.h"
#include "components/negative_response.h"
#include "fakes/simulator_link.h"
#include "sim_test_support.h"

#include <chrono>
#include <gtest/gtest.h>
#include <pugixml.hpp>
#include <string>
#include <utility>
#include <vector>

namespace vistrel {
namespace {

constexpr const char* kPacked = "DynamicallyDefinedPacked";
constexpr const char* kMerged = "ReadMemoryByAddressMerged";

class FastMethods : public ::testing::Test {
protected:
    void use(std::string_view ecuXml, const char* method,
             std::initializer_list<const char*> lines) {
        ecu = testing::ecuFrom(ecuXml);
        items.setMethode(method);
        testing::addLines(items, lines);
        items.setProtocol(ecu);
        items.setClock([this] { return now; });
    }
    // The records of one read, one line each: their attributes as name=value.
    std::vector<std::string> read() {
        pugi::xml_document snapshot;
        items.read(snapshot.append_child("snapshot"));
        std::vector<std::string> lines;
        for (const pugi::xml_node data : snapshot.first_child().children("data")) {
            std::string line;
            for (const pugi::xml_attribute attribute : data.attributes()) {
                line += (line.empty() ? "" : " ") + std::string(attribute.name()) + "=" +
                        attribute.value();
            }
            lines.push_back(line);
        }
        return lines;
    }

    std::shared_ptr<SimulatedEcu> ecu;
    VistrelItems items{NumberFormat::invariant()};
    std::chrono::steady_clock::time_point now{};
};

constexpr std::string_view kFourWords = R"(<ecu>
  <memory address="01A2B3">12 34 56 78 9A BC DE F0</memory>
  <ddli maxBytes="5"/>
</ecu>)";

TEST_F(FastMethods, PackedDefinesOnceThenReadsOncePerCycle) {
    use(kFourWords, kPacked,
        {"01A2B3\t2\tBE\ta\t\t1\t0\t1\tH\t1", "01A2B5\t1\tLE\tb\t\t1\t0\t1\tH\t1",
         "01A2B6\t2\tLE\tc\t\t1\t0\t1\tH\t1", "01A2B9\t1\tBE\td\t\t1\t0\t1\tH\t1"});
    // c would make E0 hold 5 bytes, the ECU's limit is 5; d passes it: the
    // refused position moves d to E1.
    EXPECT_EQ(read(), (std::vector<std::string>{
                          "name=a addr=01A2B3 DefSend=2CE0D001020001A2B3 DefReceive=6CE0",
                          "name=b addr=01A2B5 DefSend=2CE0D002010001A2B5 DefReceive=6CE0",
                          "name=c addr=01A2B6 DefSend=2CE0D003020001A2B6 DefReceive=6CE0",
                          "name=d addr=01A2B9 DefSend=2CE0D004010001A2B9 DefError=Service 2C "
                          "Negative response 31",
                          "name=d addr=01A2B9 DefSend=2CE1D001010001A2B9 DefReceive=6CE1",
                          "ReadSend=21E0 ReadReceive=61E0123456789A",
                          "ReadSend=21E1 ReadReceive=61E1DE",
                      }));
    const std::vector<std::string> values{"1234", "56", "789A", "DE"};
    EXPECT_EQ(testing::texts(items), values);
    EXPECT_EQ(read(), (std::vector<std::string>{"ReadSend=21E0 ReadReceive=61E0123456789A",
                                                "ReadSend=21E1 ReadReceive=61E1DE"}));
    EXPECT_EQ(testing::texts(items), values);
}

TEST_F(FastMethods, PackedTakesTheValuesBehindTheExtraByte) {
    use(R"(<ecu><memory address="01A2B3">12 34 56</memory><ddli extraByte="1"/></ecu>)", kPacked,
        {"01A2B3\t2\tBE\ta\t\t1\t0\t1\tH\t1", "01A2B5\t1\tBE\tb\t\t1\t0\t1\tH\t1"});
    EXPECT_EQ(read().back(), "ReadSend=21E0 ReadReceive=61E001123456");
    EXPECT_EQ(testing::texts(items), (std::vector<std::string>{"1234", "56"}));
}

TEST_F(FastMethods, PackedDefinesAgainAfterALostCommunication) {
    use(kFourWords, kPacked, {"01A2B3\t2\tBE\ta\t\t1\t0\t1\tH\t1"});
    const std::vector<std::string> defineAndRead{
        "name=a addr=01A2B3 DefSend=2CE0D001020001A2B3 DefReceive=6CE0",
        "ReadSend=21E0 ReadReceive=61E01234"};
    ASSERT_EQ(read(), defineAndRead);

    ecu->silence(0x01A2B3, 2);
    EXPECT_THROW(read(), Error);
    ecu->clearFaults();
    EXPECT_EQ(read(), defineAndRead);
    // Start hands the protocol over again: a new communication.
    items.setProtocol(ecu);
    EXPECT_EQ(read(), defineAndRead);
    // So does a changed list.
    items.addLine("01A2B5\t1\tBE\tb\t\t1\t0\t1\tH\t1");
    EXPECT_EQ(read().size(), 3u);
}

// An ECU that forgot its identifiers refuses them as out of range (7F 21
// 31), here once on demand.
struct ForgetfulLink : testing::SimulatorLink {
    using SimulatorLink::SimulatorLink;
    void SendReceive(const ByteString& request, ByteString& reply) override {
        if (std::exchange(forgets, false) && request.byte(0) == 0x21) {
            throw negativeResponseError(0x21, 0x31);
        }
        SimulatorLink::SendReceive(request, reply);
    }
    bool forgets = false;
};

// A passing time-out reads the same identifiers again; they are defined
// again only when the ECU says that it forgot them.
TEST_F(FastMethods, PackedDefinesAgainOnlyWhenTheEcuForgot) {
    use(kFourWords, kPacked,
        {"01A2B3\t2\tBE\ta\t\t1\t0\t1\tH\t1", "01A2B5\t1\tBE\tb\t\t1\t0\t1\tH\t1"});
    const auto link = std::make_shared<ForgetfulLink>(ecu);
    items.setProtocol(link);
    const std::string define = "name=a addr=01A2B3 DefSend=2CE0D001020001A2B3 DefReceive=6CE0";
    ASSERT_EQ(read().front(), define);
    ecu->silence(0x01A2B5, 1);
    read();
    ecu->clearFaults();
    EXPECT_EQ(read(), (std::vector<std::string>{"ReadSend=21E0 ReadReceive=61E0123456"}));
    link->forgets = true;
    read();
    EXPECT_EQ(read().front(), define);
}

TEST_F(FastMethods, PackedKeepsTheFrameLimitOfTheLink) {
    // A link that cannot tell its frame size is held to 63 bytes: 61, E0,
    // a possible extra byte and 60 data bytes.
    ecu = testing::ecuFrom("<ecu><memory address=\"000000\">" + std::string(128, '0') +
                           "</memory><ddli maxBytes=\"252\"/></ecu>");
    items.setMethode(kPacked);
    for (int i = 0; i < 31; ++i) {
        items.add(ByteString{0, 0, static_cast<std::uint8_t>(2 * i)}.text()).setLength(2);
    }
    items.setProtocol(ecu);
    const std::vector<std::string> exchanges = read();
    EXPECT_EQ(exchanges.at(30), "name= addr=00003C DefSend=2CE1D001020000003C DefReceive=6CE1");
    EXPECT_EQ(read().size(), 2u);
}

// A refused definition and a silent range inside an identifier: every other
// item keeps its value, and each shows what it would show read on its own.
TEST_F(FastMethods, PackedItemsThatTheEcuWillNotRead) {
    use(R"(<ecu>
      <memory address="010000">11 22 33 44 55 66</memory>
      <refuse address="010002" service="2C" nrc="22"/>
      <silent address="010004"/>
    </ecu>)",
        kPacked,
        {"010000\t2\tBE\tgood\t\t1\t0\t1\tH\t1", "010002\t1\tBE\trefused\t\t1\t0\t1\tH\t1",
         "010004\t1\tBE\tsilent\t\t1\t0\t1\tH\t1", "010005\t1\tBE\tlast\t\t1\t0\t1\tH\t1"});
    const std::vector<std::string> expected{"1122", "Execution conditions not set",
                                            "No answer at due time", "66"};
    // At first, E1's read and the silent item's own read are two exchanges
    // in a row without an answer: the rest of the pass fails at once.
    read();
    EXPECT_EQ(testing::texts(items)[3], "No answer at due time");
    // Known silent from then on, they end no pass. A time-out may pass: E1
    // is read again before anything is defined.
    EXPECT_EQ(read().at(1), "ReadSend=21E1 ReadError=No answer at due time");
    EXPECT_EQ(testing::texts(items), expected);
    // Twice in a row, it is defined again without the silent item, which is
    // then read by address.
    // The refused item is tried once more in an identifier of its own.
    EXPECT_EQ(read(), (std::vector<std::string>{
                          "name=good addr=010000 DefSend=2CE0D0010200010000 DefReceive=6CE0",
                          "name=refused addr=010002 DefSend=2CE0D0020100010002 DefError=Execution "
                          "conditions not set",
                          "name=refused addr=010002 DefSend=2CE1D0010100010002 DefError=Execution "
                          "conditions not set",
                          "name=last addr=010005 DefSend=2CE1D0010100010005 DefReceive=6CE1",
                          "ReadSend=21E0 ReadReceive=61E01122", "ReadSend=21E1 ReadReceive=61E166",
                          "name=silent addr=010004 send=2301000401 error=No answer at due time"}));
    EXPECT_EQ(testing::texts(items), expected);
    EXPECT_EQ(read(), (std::vector<std::string>{
                          "ReadSend=21E0 ReadReceive=61E01122", "ReadSend=21E1 ReadReceive=61E166",
                          "name=silent addr=010004 send=2301000401 error=No answer at due time"}));
    // The refusal was a passing one: five seconds after the definitions the
    // item is offered again, and shows its value.
    ecu->clearFaults();
    now += std::chrono::milliseconds(4999);
    read();
    EXPECT_EQ(testing::texts(items)[1], "Execution conditions not set");
    now += std::chrono::milliseconds(1);
    // Alone, at the end of the last identifier.
    EXPECT_EQ(read().front(),
              "name=refused addr=010002 DefSend=2CE1D0020100010002 DefReceive=6CE1");
    EXPECT_EQ(testing::texts(items)[1], "33");
}

TEST_F(FastMethods, MergedReadsNeighboursTogether) {
    use(R"(<ecu>
      <memory address="010000">11 22 33 44 55 66 77 88</memory>
      <memory address="010100">AA BB</memory>
      <refuse address="010101"/>
      <memory address="010200">CC DD EE</memory>
      <silent address="010202"/>
    </ecu>)",
        kMerged,
        {"010006\t2\tLE\tfar end\t\t1\t0\t1\tH\t1", "010000\t2\tBE\tstart\t\t1\t0\t1\tH\t1",
         "010003\t1\tBE\tmasked\t\t1\t0\t1\tH\t1\t0F",
         "010100\t1\tBE\tbeside refused\t\t1\t0\t1\tH\t1",
         "010101\t1\tBE\trefused\t\t1\t0\t1\tH\t1", "010200\t2\tBE\tbeside silent\t\t1\t0\t1\tH\t1",
         "010202\t1\tBE\tsilent\t\t1\t0\t1\tH\t1", "020000\t1\tBE\talone\t\t1\t0\t1\tH\t1"});
    // A failed group is read again item by item.
    EXPECT_EQ(read(),
              (std::vector<std::string>{
                  "addr=010000 send=2301000008 receive=631122334455667788",
                  "addr=010100 send=2301010002 error=Execution conditions not set",
                  "name=beside refused addr=010100 send=2301010001 receive=63AA value=AA",
                  "name=refused addr=010101 send=2301010101 error=Execution conditions not set",
                  "addr=010200 send=2301020003 error=No answer at due time",
                  "name=beside silent addr=010200 send=2301020002 receive=63CCDD value=CCDD",
                  "name=silent addr=010202 send=2301020201 error=No answer at due time",
                  "name=alone addr=020000 send=2302000001 error=Service 23 Negative response 31"}));
    EXPECT_EQ(testing::texts(items),
              (std::vector<std::string>{"7788", "1122", "04", "AA", "Execution conditions not set",
                                        "CCDD", "No answer at due time",
                                        "Service 23 Negative response 31"}));
}

TEST_F(FastMethods, MergeWindowBoundsAGroup) {
    for (const auto& [window, exchanges] : {std::pair{4, 2u}, {5, 1u}}) {
        items.clear();
        use(kFourWords, kMerged,
            {"01A2B3\t2\tBE\ta\t\t1\t0\t1\tH\t1", "01A2B6\t2\tBE\tb\t\t1\t0\t1\tH\t1"});
        items.setMergeWindow(window);
        EXPECT_EQ(read().size(), exchanges) << window;
        EXPECT_EQ(testing::texts(items), (std::vector<std::string>{"1234", "789A"}));
    }
}

// An adapter limited to short frames refuses the 9-byte definition request
// before it goes out: the packed list falls back to reads by address.
class ShortFrameLink : public testing::SimulatorLink {
public:
    using SimulatorLink::SimulatorLink;
    void SendReceive(const ByteString& request, ByteString& reply) override {
        if (request.length() > 7) {
            throw Error(adapter_error::kRequestTooLong, "request too long for this adapter");
        }
        SimulatorLink::SendReceive(request, reply);
    }
};

TEST_F(FastMethods, PackedThroughALinkThatCannotDefineReadsByAddress) {
    use(kFourWords, kPacked,
        {"01A2B3\t2\tBE\ta\t\t1\t0\t1\tH\t1", "01A2B5\t1\tLE\tb\t\t1\t0\t1\tH\t1"});
    items.setProtocol(std::make_shared<ShortFrameLink>(ecu));
    for (int cycle = 0; cycle < 2; ++cycle) {
        const std::vector<std::string> exchanges = read();
        EXPECT_EQ(exchanges.back(), "name=b addr=01A2B5 send=2301A2B501 receive=6356 value=56");
        EXPECT_EQ(testing::texts(items), (std::vector<std::string>{"1234", "56"}));
    }
}

} // namespace
} // namespace vistrel
