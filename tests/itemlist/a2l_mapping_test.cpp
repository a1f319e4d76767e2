// SPDX-License-Identifier: MIT
#include "itemlist/a2l_mapping.h"

#include <gtest/gtest.h>

namespace vistrel {
namespace {

A2lMeasurement measurement(std::string datatype, std::string conversion = "NO_COMPU_METHOD") {
    A2lMeasurement m;
    m.name = "m";
    m.datatype = std::move(datatype);
    m.conversion = std::move(conversion);
    m.ecuAddress = 0x1234;
    return m;
}

A2lDescription description() {
    A2lDescription d;
    d.compuMethods["LIN"] = {"LINEAR", "km/h", {}, {0.5, -10}};
    d.compuMethods["RAT"] = {"RAT_FUNC", "V", {0, 4, 8, 0, 0, 2}, {}};
    d.compuMethods["QUAD"] = {"RAT_FUNC", "bar", {1, 0, 0, 0, 0, 1}, {}};
    d.compuMethods["ID"] = {"IDENTICAL", "rpm", {}, {}};
    d.compuMethods["VERB"] = {"TAB_VERB", "", {}, {}};
    return d;
}

struct MappingCase {
    A2lMeasurement measurement;
    std::string moduleByteOrder;
    A2lAddressing addressing;
    // address length coding unit A B C format mask, or the reason/note
    std::string expected;
};

std::string summary(const A2lMapping& mapping) {
    if (!mapping.item) {
        return "left out: " + mapping.reason;
    }
    const ItemLineFields& i = *mapping.item;
    std::string text = i.address + " " + std::to_string(i.length) + " " + i.coding + " [" + i.unit +
                       "] " + formatShortest(i.coefA, {}) + " " + formatShortest(i.coefB, {}) +
                       " " + formatShortest(i.coefC, {}) + " " + i.format + " " + i.mask;
    return mapping.note.empty() ? text : text + " / " + mapping.note;
}

TEST(A2lMapping, TurnsMeasurementsIntoItems) {
    const auto with = [](A2lMeasurement m, auto change) {
        change(m);
        return m;
    };
    const std::vector<MappingCase> cases = {
        // Datatypes: length, sign and float; MSB_FIRST unless told otherwise.
        {measurement("UBYTE"), "", {}, "001234 1 BE [] 1 0 1 D "},
        {measurement("SBYTE"), "", {}, "001234 1 BE+ [] 1 0 1 D "},
        {measurement("UWORD"), "", {}, "001234 2 BE [] 1 0 1 D "},
        {measurement("SWORD"), "MSB_LAST", {}, "001234 2 LE+ [] 1 0 1 D "},
        {measurement("ULONG"), "LITTLE_ENDIAN", {}, "001234 4 LE [] 1 0 1 D "},
        {measurement("SLONG"), "BIG_ENDIAN", {}, "001234 4 BE+ [] 1 0 1 D "},
        {measurement("A_UINT64"), "", {}, "001234 8 BE [] 1 0 1 D "},
        {measurement("A_INT64"), "", {}, "001234 8 BE+ [] 1 0 1 D "},
        {measurement("FLOAT32_IEEE"), "MSB_LAST", {}, "001234 4 LEF [] 1 0 1 D "},
        {measurement("FLOAT64_IEEE"), "", {}, "001234 8 BEF [] 1 0 1 D "},
        // The measurement's own byte order comes before the module's.
        {with(measurement("UWORD"), [](auto& m) { m.byteOrder = "MSB_LAST"; }),
         "MSB_FIRST",
         {},
         "001234 2 LE [] 1 0 1 D "},
        {with(measurement("UWORD"), [](auto& m) { m.byteOrder = "MIDDLE"; }),
         "",
         {},
         "left out: unknown BYTE_ORDER MIDDLE"},
        // Addresses: the offset, the size, and what does not fit.
        {with(measurement("UBYTE"), [](auto& m) { m.ecuAddress = 0x80012345; }),
         "",
         {-0x80000000LL, 3},
         "012345 1 BE [] 1 0 1 D "},
        {with(measurement("UBYTE"), [](auto& m) { m.ecuAddress = 0x80012345; }),
         "",
         {0, 4},
         "80012345 1 BE [] 1 0 1 D "},
        {with(measurement("UBYTE"), [](auto& m) { m.ecuAddress = 0x1000000; }),
         "",
         {},
         "left out: ECU_ADDRESS 0x01000000 plus the offset does not fit in 3 bytes"},
        {measurement("UBYTE"),
         "",
         {-0x2000, 3},
         "left out: ECU_ADDRESS 0x00001234 plus the offset is negative"},
        {with(measurement("UBYTE"), [](auto& m) { m.ecuAddress.reset(); }),
         "",
         {},
         "left out: no ECU_ADDRESS"},
        // Conversions, and the unit: PHYS_UNIT before the method's.
        {measurement("UWORD", "LIN"), "", {}, "001234 2 BE [km/h] 0.5 -10 1 P "},
        {measurement("UWORD", "RAT"), "", {}, "001234 2 BE [V] 2 -8 4 P "},
        {measurement("UWORD", "ID"), "", {}, "001234 2 BE [rpm] 1 0 1 D "},
        {with(measurement("UWORD", "ID"), [](auto& m) { m.physUnit = "U\tmin"; }),
         "",
         {},
         "001234 2 BE [U min] 1 0 1 D "},
        {measurement("UWORD", "QUAD"),
         "",
         {},
         "001234 2 BE [bar] 1 0 1 D  / its conversion QUAD (RAT_FUNC) cannot be shown as "
         "(A*v+B)/C; imported as the raw value (D)"},
        {measurement("UWORD", "VERB"),
         "",
         {},
         "001234 2 BE [] 1 0 1 D  / its conversion VERB (TAB_VERB) cannot be shown as "
         "(A*v+B)/C; imported as the raw value (D)"},
        {measurement("UWORD", "GONE"),
         "",
         {},
         "001234 2 BE [] 1 0 1 D  / its conversion GONE is no COMPU_METHOD of the file; "
         "imported as the raw value (D)"},
        // Masks: the shift goes into B and C.
        {with(measurement("UWORD", "LIN"), [](auto& m) { m.bitMask = 0x0F0; }),
         "",
         {},
         "001234 2 BE [km/h] 0.5 -160 16 P 00F0"},
        {with(measurement("UBYTE"), [](auto& m) { m.bitMask = 0x81; }),
         "",
         {},
         "001234 1 BE [] 1 0 1 D 81"},
        {with(measurement("UBYTE"), [](auto& m) { m.bitMask = 0x100; }),
         "",
         {},
         "left out: BIT_MASK 0x0100 does not fit the datatype UBYTE"},
        {with(measurement("FLOAT32_IEEE"), [](auto& m) { m.bitMask = 0xFF00; }),
         "",
         {},
         "001234 4 BEF [] 1 0 1 D 0000FF00 / BIT_MASK applies to H and B only: a float keeps "
         "all its bits"},
        // What an item cannot hold.
        {measurement("FLOAT16_IEEE"), "", {}, "left out: unknown datatype FLOAT16_IEEE"},
        {with(measurement("UBYTE"), [](auto& m) { m.isVirtual = true; }),
         "",
         {},
         "left out: VIRTUAL: it has no memory to read"},
        {with(measurement("UBYTE"), [](auto& m) { m.elementCount = 6; }),
         "",
         {},
         "left out: an array of 6 values; an item holds one"},
    };
    for (const auto& c : cases) {
        A2lDescription d = description();
        d.moduleByteOrder = c.moduleByteOrder;
        EXPECT_EQ(summary(mapMeasurement(c.measurement, d, c.addressing)), c.expected);
    }
}

TEST(A2lMapping, ImportsTheChosenInFileOrderEachNameOnce) {
    A2lDescription d = description();
    for (const char* name : {"b", "a", "B", "skip", "c"}) {
        A2lMeasurement m = measurement("UBYTE");
        m.name = name;
        d.measurements.push_back(m);
    }
    d.measurements.back().datatype = "BAD";
    const A2lImport import =
        importMeasurements(d, {}, [](const A2lMeasurement& m) { return m.name != "skip"; });
    ASSERT_EQ(import.items.size(), 2u);
    EXPECT_EQ(import.items[0].name, "b");
    EXPECT_EQ(import.items[1].name, "a");
    EXPECT_EQ(importSummary(import),
              "imported 2 of 5 measurements\n"
              "B: the name is already taken by an earlier measurement (letter case ignored)\n"
              "c: unknown datatype BAD\n");
}

} // namespace
} // namespace vistrel
