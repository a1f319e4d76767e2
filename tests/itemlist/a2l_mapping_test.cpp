// SPDX-License-Identifier: MIT
// The mapping rules the examples do not reach; each case is the body of one
// MEASUREMENT named m, read beside a few conversions.
#include "itemlist/a2l_mapping.h"
#include "itemlist/a2l_reader.h"

#include <gtest/gtest.h>

namespace vistrel {
namespace {

const std::string kConversions =
    "/begin COMPU_METHOD LIN \"\" LINEAR \"\" \"km/h\" COEFFS_LINEAR 0.5 -10 /end COMPU_METHOD\n";

std::string mapped(const std::string& body, const std::string& moduleByteOrder,
                   const A2lAddressing& addressing) {
    const std::string text =
        kConversions + "/begin MEASUREMENT m \"\" " + body + " /end MEASUREMENT\n" +
        (moduleByteOrder.empty()
             ? ""
             : "/begin MOD_COMMON \"\" BYTE_ORDER " + moduleByteOrder + " /end MOD_COMMON");
    const A2lDescription d = readA2l(
        "m.a2l", [&](const std::filesystem::path&) { return std::optional<std::string>(text); });
    const A2lMapping mapping = mapMeasurement(d.measurements.at(0), d, addressing);
    if (!mapping.item) {
        return "left out: " + mapping.reason;
    }
    const ItemLineFields& i = *mapping.item;
    const std::string item = i.address + " " + std::to_string(i.length) + " " + i.coding + " [" +
                             i.unit + "] " + formatShortest(i.coefA, {}) + " " +
                             formatShortest(i.coefB, {}) + " " + formatShortest(i.coefC, {}) + " " +
                             i.format + " " + i.mask;
    return mapping.note.empty() ? item : item + " / " + mapping.note;
}

TEST(A2lMapping, TurnsMeasurementsIntoItems) {
    struct Case {
        std::string body; // after the name and long identifier
        std::string moduleByteOrder;
        std::string expected;
        A2lAddressing addressing = {};
    };
    const std::string at = " 0 0 0 1 ECU_ADDRESS 0x1234";
    const std::string viaLin = "UWORD LIN" + at;
    const std::vector<Case> cases = {
        // The older byte order names, and the measurement's before the module's.
        {"ULONG NO_COMPU_METHOD" + at, "LITTLE_ENDIAN", "001234 4 LE [] 1 0 1 D "},
        {"SLONG NO_COMPU_METHOD" + at, "BIG_ENDIAN", "001234 4 BE+ [] 1 0 1 D "},
        {"FLOAT64_IEEE NO_COMPU_METHOD" + at + " BYTE_ORDER MSB_LAST", "MSB_FIRST",
         "001234 8 LEF [] 1 0 1 D "},
        {viaLin + " BYTE_ORDER MIDDLE", "", "left out: unknown BYTE_ORDER MIDDLE"},
        // Addresses: the size, and what does not fit.
        {"UBYTE NO_COMPU_METHOD 0 0 0 1 ECU_ADDRESS 0x80012345",
         "",
         "80012345 1 BE [] 1 0 1 D ",
         {0, 4}},
        {"UBYTE NO_COMPU_METHOD 0 0 0 1 ECU_ADDRESS 0x1000000", "",
         "left out: ECU_ADDRESS 0x01000000 plus the offset does not fit in 3 bytes"},
        {"UBYTE NO_COMPU_METHOD" + at,
         "",
         "left out: ECU_ADDRESS 0x00001234 plus the offset is negative",
         {-0x2000, 3}},
        {"UBYTE NO_COMPU_METHOD 0 0 0 1", "", "left out: no ECU_ADDRESS"},
        // Units come from PHYS_UNIT first; an item line holds no tab.
        {viaLin + " PHYS_UNIT \"U\tmin\"", "", "001234 2 BE [U min] 0.5 -10 1 P "},
        // A conversion the file lacks is named; those an item cannot show are
        // shown by the examples.
        {"UWORD GONE" + at, "",
         "001234 2 BE [] 1 0 1 D  / its conversion GONE is no COMPU_METHOD of the file; "
         "imported as the raw value (D)"},
        // Masks: a shift goes into B and C; none without one; none too wide.
        {viaLin + " BIT_MASK 0x0F0", "", "001234 2 BE [km/h] 0.5 -160 16 P 00F0"},
        {"UBYTE NO_COMPU_METHOD" + at + " BIT_MASK 0x81", "", "001234 1 BE [] 1 0 1 D 81"},
        {"UBYTE NO_COMPU_METHOD" + at + " BIT_MASK 0x100", "",
         "left out: BIT_MASK 0x0100 does not fit the datatype UBYTE"},
        {"FLOAT32_IEEE NO_COMPU_METHOD" + at + " BIT_MASK 0xFF00", "",
         "001234 4 BEF [] 1 0 1 D 0000FF00 / BIT_MASK applies to H and B only: a float keeps "
         "all its bits"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(mapped(c.body, c.moduleByteOrder, c.addressing), c.expected) << c.body;
    }
}

} // namespace
} // namespace vistrel
