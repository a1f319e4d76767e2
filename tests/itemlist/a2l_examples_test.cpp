// SPDX-License-Identifier: MIT
// The example measurement descriptions, imported and read from an ECU whose
// memory holds known raw values: every item shows the physical value that
// the description defines for that raw value.
#include "itemlist/a2l_mapping.h"
#include "itemlist/a2l_reader.h"
#include "itemlist/vistrel_items.h"
#include "sim/simulated_ecu.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace vistrel {
namespace {

struct Example {
    const char* file;
    A2lAddressing addressing;
    const char* memory;   // <memory> elements of the ECU
    std::string expected; // name value [unit] of each item, in file order
    std::size_t measurementCount;
    std::vector<std::string> leftOut;
};

const Example kExamples[] = {
    {"engine.a2l",
     {},
     R"(<memory address="01A000">0C 80 82 00 E8 35 A5 02 00 01 E2 40 F6 64 FE 98
                                  12 34 56 78 9A BC DE F0 FF FF FF FF FF FF FF FE
                                  E7 00 10 27 35</memory>)",
     "nmot 800 [rpm], tmot 90 [degC], ubatt 13.8 [V], B_mil 1 [], gear 2 [], odo 123456 [km], "
     "zwout -10 [], pboost 100 [bar], steer -36 [deg], runtime 1311768467463790320 [], trim -2 [], "
     "tans -25 [\u00B0C], lambda 1 [-], fuel_mode 3 []",
     19,
     {"nmot_sum", "knock", "map", "half", "NMOT"}},
    {"gearbox.a2l",
     {-0x80000000LL, 3},
     R"(<memory address="004000">00 00 AF 42 3F C0 00 00 00 00 00 00 00 00 C0 3F
                                  F0 00 00 00 00 30 00 00 24 FA FF FF 0B 00</memory>)",
     "oil_temp 87.5 [degC], clutch 0.125 [], torque 3 [Nm], vspeed 110 [km/h], gear_req 3 [], slip "
     "-1.5 [%], level -9 [km/h]",
     9,
     {"flash_id", "boot_id"}},
};

TEST(A2lExamples, ShowThePhysicalValuesTheyDefine) {
    for (const Example& example : kExamples) {
        SCOPED_TRACE(example.file);
        const A2lDescription description =
            readA2l(std::string(VISTREL_EXAMPLES_DIR) + "/a2l/" + example.file, a2lFilesOnDisk());
        const A2lImport import = importMeasurements(description, example.addressing,
                                                    [](const A2lMeasurement&) { return true; });
        EXPECT_EQ(import.measurementCount, example.measurementCount);
        std::vector<std::string> leftOut;
        for (const A2lRemark& remark : import.leftOut) {
            leftOut.push_back(remark.name);
        }
        EXPECT_EQ(leftOut, example.leftOut);

        VistrelItems items(NumberFormat::invariant());
        for (const ItemLineFields& fields : import.items) {
            items.addLine(itemLine(fields, items.numberFormat()));
        }
        items.setProtocol(SimulatedEcu::fromText(
            std::string(R"(<ecu addressSize="3" latencyUs="0">)") + example.memory + "</ecu>",
            example.file));
        items.read();
        std::string shown;
        for (const auto& item : items) {
            shown += (shown.empty() ? "" : ", ") + item->name() + " " + item->text() + " [" +
                     item->unit() + "]";
        }
        EXPECT_EQ(shown, example.expected);
    }
}

} // namespace
} // namespace vistrel
