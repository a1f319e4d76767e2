// SPDX-License-Identifier: MIT
// The key program run as a real process: its key, and every way it can fail.

#include "components/error_numbers.h"
#include "fakes/error_of.h"
#include "fakes/scratch_directory.h"
#include "link/key_program.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace vistrel {
namespace {

using std::chrono::milliseconds;

std::string program(const testing::ScratchDirectory& dir, const std::string& body) {
    static int count = 0;
    const std::string path = dir.file("key" + std::to_string(++count));
    std::ofstream(path) << "#!/bin/sh\n" << body << "\n";
    std::filesystem::permissions(path, std::filesystem::perms::owner_all);
    return path;
}

TEST(KeyProgram, KeyOrTheReasonWhyNot) {
    const testing::ScratchDirectory dir;
    const struct {
        const char* body;
        const char* key;    // the key read, or nullptr
        const char* reason; // a part of the message
    } cases[] = {
        {"echo \"$1$2\"", "03A1B2", nullptr},
        {"printf 'c3 d4\\r\\nmore\\n'", "C3D4", nullptr},
        {"echo 'no such seed' >&2; exit 3", nullptr, "exit status 3: no such seed"},
        {"echo xyz", nullptr, "no key in hexadecimal"},
        {"echo ABC", nullptr, "no key in hexadecimal"},
        {"true", nullptr, "no key in hexadecimal"},
        {"kill -9 $$", nullptr, "signal 9"},
        {"exec sleep 5", nullptr, "within 300 ms"},
        {"exec >&- 2>&-; sleep 5", nullptr, "within 300 ms"},
    };
    for (const auto& c : cases) {
        const auto key = spawnedKeyProgram(program(dir, c.body), milliseconds(300));
        const auto started = std::chrono::steady_clock::now();
        const auto error = testing::errorOf([&] {
            EXPECT_EQ(key->keyFor(0x03, ByteString{0xA1, 0xB2}).text(), c.key ? c.key : "-")
                << c.body;
        });
        EXPECT_LT(std::chrono::steady_clock::now() - started, milliseconds(2000)) << c.body;
        ASSERT_EQ(error.has_value(), c.reason != nullptr) << c.body;
        if (error) {
            EXPECT_EQ(error->number(), uds_error::kKeyProgramFailed);
            EXPECT_NE(error->description().find(c.reason), std::string::npos)
                << error->description();
            EXPECT_EQ(error->description().find("A1B2"), std::string::npos);
        }
    }
    const auto error = testing::errorOf(
        [&] { spawnedKeyProgram(dir.file("missing"), milliseconds(300))->keyFor(1, {0x01}); });
    ASSERT_TRUE(error);
    EXPECT_NE(error->description().find("cannot be started"), std::string::npos);
}

} // namespace
} // namespace vistrel
