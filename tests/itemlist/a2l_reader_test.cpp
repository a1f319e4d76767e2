// SPDX-License-Identifier: MIT
#include "components/error.h"
#include "fakes/error_of.h"
#include "itemlist/a2l_lexer.h"
#include "itemlist/a2l_reader.h"

#include <gtest/gtest.h>
#include <map>

namespace vistrel {
namespace {

// Files held in memory, by path as the reader asks for them.
A2lFileSource filesOf(std::map<std::string, std::string> files) {
    return [files = std::move(files)](const std::filesystem::path& path) {
        const auto found = files.find(path.lexically_normal().string());
        return found == files.end() ? std::nullopt : std::optional<std::string>(found->second);
    };
}

std::string measurement(const std::string& name, const std::string& rest = "") {
    return "/begin MEASUREMENT " + name + " \"\" UBYTE NO_COMPU_METHOD 0 0 0 255 " + rest +
           " /end MEASUREMENT\n";
}

std::vector<std::string> namesOf(const A2lDescription& description) {
    std::vector<std::string> names;
    for (const auto& m : description.measurements) {
        names.push_back(m.name);
    }
    return names;
}

std::string errorOf(const A2lFileSource& files, const char* path = "d/main.a2l") {
    const auto error = testing::errorOf([&] { readA2l(path, files); });
    return error ? error->description() : "no error";
}

TEST(A2lReader, SkipsWhatItDoesNotNeedWhateverItHolds) {
    const std::string text =
        "ASAP2_VERSION 1 61 /begin PROJECT P \"\" /begin MODULE M \"\"\n"
        "/begin A2ML struct { uint; }; \"/end A2ML\" /end A2ML\n"
        "/begin IF_DATA X /begin Y " +
        measurement("hidden") +
        " /end Y \"/end IF_DATA */\" /include \"none\" /end IF_DATA\n"
        "/* " +
        measurement("commented") + " */ // " + measurement("too") +
        "/begin CHARACTERISTIC c \"a \\\"quoted\\\" /end\" /end CHARACTERISTIC\n" +
        measurement("a", "ECU_ADDRESS 0x10 /begin IF_DATA Z /begin "
                         "MEASUREMENT x /end MEASUREMENT /end IF_DATA") +
        measurement("b") + "/end MODULE /end PROJECT";
    const A2lDescription description = readA2l("d/main.a2l", filesOf({{"d/main.a2l", text}}));
    EXPECT_EQ(namesOf(description), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(description.measurements[0].ecuAddress, 0x10);
}

TEST(A2lReader, IncludesFilesWhereTheyStandRelativeToTheIncluder) {
    const auto d = readA2l(
        "d/main.a2l", filesOf({{"d/main.a2l", measurement("first") + "/include \"sub/part.a2l\"\n" +
                                                  measurement("last")},
                               {"d/sub/part.a2l", measurement("middle") + "/include ../leaf.a2l"},
                               {"d/leaf.a2l", measurement("leaf")}}));
    EXPECT_EQ(namesOf(d), (std::vector<std::string>{"first", "middle", "leaf", "last"}));
}

TEST(A2lReader, ReadsLatin1AsUtf8) {
    const auto d = readA2l(
        "d/main.a2l",
        filesOf({{"d/main.a2l", "/begin MEASUREMENT t \"Temp\xE9rature \\\"\\\\\" UBYTE X 0 0 0 1 "
                                "PHYS_UNIT \"\xB0\x43\" /end MEASUREMENT"},
                 {"d/utf8.a2l", ""}}));
    EXPECT_EQ(d.measurements.at(0).longIdentifier, "Temp\u00E9rature \"\\");
    EXPECT_EQ(d.measurements.at(0).physUnit, "\u00B0\x43");
}

TEST(A2lReader, ReportsSyntaxErrorsWithFileAndLine) {
    const std::pair<std::map<std::string, std::string>, std::string> cases[] = {
        {{{"d/main.a2l", "/begin PROJECT p \"\"\n/end MODULE"}},
         "d/main.a2l:2: /end MODULE does not end /begin PROJECT of line 1"},
        {{{"d/main.a2l", "\n/begin PROJECT p \"\""}},
         "d/main.a2l:2: /begin PROJECT is never ended"},
        {{{"d/main.a2l", "/end PROJECT"}}, "d/main.a2l:1: /end PROJECT without a /begin"},
        {{{"d/main.a2l", "a\n/* b"}}, "d/main.a2l:2: a /* comment is never closed"},
        {{{"d/main.a2l", "\"a\\\""}}, "d/main.a2l:1: a string is never closed"},
        {{{"d/main.a2l", "/begin \"x\""}},
         "d/main.a2l:1: /begin is followed by a string, not by a block name"},
        {{{"d/main.a2l", "/begin IF_DATA x /begin y"}},
         "d/main.a2l:1: /begin IF_DATA is never ended"},
        {{{"d/main.a2l", "/begin MEASUREMENT m \"\" UBYTE X 0 0 0\n/end MEASUREMENT"}},
         "d/main.a2l:2: MEASUREMENT m: expected the upper limit, found /end"},
        {{{"d/main.a2l", "/begin MEASUREMENT m \"\" UBYTE X 0 0 0 1 ECU_ADDRESS 0xZZ"}},
         "d/main.a2l:1: MEASUREMENT m: 0xZZ is not a whole number (ECU_ADDRESS)"},
        {{{"d/main.a2l", "/begin MEASUREMENT m\n\"\" UBYTE X 0 0 0 1"}},
         "d/main.a2l:1: /begin MEASUREMENT is never ended"},
        {{{"d/main.a2l", "/begin COMPU_METHOD c \"\" LINEAR \"\" \"\" COEFFS_LINEAR 1 "
                         "/end COMPU_METHOD"}},
         "d/main.a2l:1: COMPU_METHOD c: expected COEFFS_LINEAR, found /end"},
        // The error is placed in the file where it is.
        {{{"d/main.a2l", "\n/include \"b.a2l\""}, {"d/b.a2l", "\n\n/end X"}},
         "d/b.a2l:3: /end X without a /begin"},
        {{{"d/main.a2l", "/include \"b.a2l\""}},
         "d/main.a2l:1: cannot read the included file \"d/b.a2l\""},
        {{{"d/main.a2l", "/include"}}, "d/main.a2l:1: /include names no file"},
        {{{"d/main.a2l", "\n/include \"b.a2l\""}, {"d/b.a2l", "/include ./main.a2l"}},
         "d/b.a2l:1: /include \"d/main.a2l\": that file is already being read (an include loop)"},
        {{}, "d/main.a2l: cannot read the file"},
    };
    for (const auto& [files, message] : cases) {
        EXPECT_EQ(errorOf(filesOf(files)), message);
    }
}

TEST(A2lReader, RefusesNestingDeeperThanItCanFollow) {
    std::string deep;
    for (int i = 0; i < 100; ++i) {
        deep += "/begin B \"\"\n";
    }
    EXPECT_EQ(errorOf(filesOf({{"d/main.a2l", deep}})),
              "d/main.a2l:65: blocks nested more than 64 deep");
    // Every file includes a next one: the chain ends before the stack does.
    const auto endless = [](const std::filesystem::path& path) {
        return std::optional<std::string>("/include \"" + path.filename().string() + "x\"");
    };
    EXPECT_EQ(errorOf(endless, "a"), "axxxxxxxxxxxxxxx:1: /include nested more than 16 deep");
    // Files that include two others each, twelve levels deep: the reading
    // stops long before the 2^12th file.
    const auto fanOut = [](const std::filesystem::path& path) {
        const std::string name = path.filename().string();
        return std::optional<std::string>(
            name.size() > 12 ? "" : "/include " + name + "1 /include " + name + "2");
    };
    EXPECT_NE(errorOf(fanOut, "a").find("more than 256 files included"), std::string::npos);
}

TEST(A2lNumbers, ReadDecimalHexadecimalAndExponents) {
    EXPECT_EQ(a2lNumber("1.5E+2"), 150.0);
    EXPECT_EQ(a2lNumber("-0x10"), -16.0);
    EXPECT_EQ(a2lNumber("1e999"), std::nullopt);
    EXPECT_EQ(a2lInteger("0X1a2B"), 0x1A2B);
    EXPECT_EQ(a2lInteger("1.0"), std::nullopt);
    EXPECT_EQ(a2lInteger("0x8000000000000000"), std::nullopt);
}

} // namespace
} // namespace vistrel
