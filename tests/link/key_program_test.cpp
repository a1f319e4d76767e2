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

TEST(KeyProgram, KeyOrTheReasonWhyNot) {
    const testing::ScratchDirectory dir;
    // The program's body; the key it gives or a part of the message.
    const std::pair<const char*, const char*> cases[] = {
        {"echo \"$1$2\"", "03A1B2"},
        {"echo 'no such seed' >&2; exit 3", "exit status 3: no such seed"},
        {"echo xyz", "no key in hexadecimal"},
        {"kill -9 $$", "signal 9"},
        {"exec >&- 2>&-; sleep 5", "within 300 ms"},
        {nullptr, "cannot be started"},
    };
    for (const auto& [body, outcome] : cases) {
        const std::string path = dir.file(std::to_string(&body - &cases[0].first));
        if (body != nullptr) {
            std::ofstream(path) << "#!/bin/sh\n" << body << "\n";
            std::filesystem::permissions(path, std::filesystem::perms::owner_all);
        }
        const auto started = std::chrono::steady_clock::now();
        std::string key;
        const auto error = testing::errorOf([&] {
            key = spawnedKeyProgram(path, std::chrono::milliseconds(300))
                      ->keyFor(0x03, ByteString{0xA1, 0xB2})
                      .text();
        });
        EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(2)) << path;
        const std::string shown = error ? error->description() : key;
        EXPECT_NE(shown.find(outcome), std::string::npos) << shown;
        // The seed never shows in a message.
        EXPECT_TRUE(!error || (error->number() == uds_error::kKeyProgramFailed &&
                               shown.find("A1B2") == std::string::npos))
            << shown;
    }
}

} // namespace
} // namespace vistrel
