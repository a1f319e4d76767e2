// SPDX-License-Identifier: MIT
// The tree the configuration loader reads against the exact tree of the same
// bytes (every white-space text kept): whether the file loads, and the text
// content of every value the loader reads, must be the same in both.
#include "components/xml_nodes.h"
#include "itemlist/config_file_layout.h"
#include "itemlist/config_file_parse.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

using namespace vistrel::config_file;

constexpr unsigned kExactOptions = (pugi::parse_default | pugi::parse_ws_pcdata) & ~pugi::parse_eol;

// Memory-backed when the system has it, so that runs stay fast.
struct ScratchFile {
    std::string path;
    ScratchFile() {
        std::error_code ignored;
        const std::filesystem::path shm = "/dev/shm";
        const std::filesystem::path directory = std::filesystem::is_directory(shm, ignored)
                                                    ? shm
                                                    : std::filesystem::temp_directory_path();
        path = (directory / ("fuzz_config_tree_" + std::to_string(::getpid()) + ".xml")).string();
    }
    ~ScratchFile() {
        std::error_code ignored;
        std::filesystem::remove(path, ignored);
    }
};

void expectSameText(pugi::xml_node loaded, pugi::xml_node exact) {
    if (static_cast<bool>(loaded) != static_cast<bool>(exact) ||
        (loaded && vistrel::textContent(loaded) != vistrel::textContent(exact))) {
        __builtin_trap();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const ScratchFile file;
    std::ofstream(file.path, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));

    pugi::xml_document loaded;
    if (vistrel::parseConfigFile(loaded, file.path)) {
        // Refused, by the strict check or by the reader: no tree to compare.
        return 0;
    }
    pugi::xml_document exact;
    if (!exact.load_file(file.path.c_str(), kExactOptions)) {
        // A file the strict check takes, pugixml's full tree of it is the
        // one the loader falls back to: nothing else to compare.
        return 0;
    }

    const pugi::xml_node loadedRoot = loaded.child(kRoot);
    const pugi::xml_node exactRoot = exact.child(kRoot);
    for (const char* setting : {kMethod, kLengthSize, kStartSession}) {
        expectSameText(loadedRoot.child(setting), exactRoot.child(setting));
    }
    pugi::xml_node exactData = exactRoot.child(kDatas).child(kData);
    for (const pugi::xml_node data : loadedRoot.child(kDatas).children(kData)) {
        for (const char* name : kDataNames) {
            expectSameText(data.child(name), exactData.child(name));
        }
        exactData = exactData.next_sibling(kData);
    }
    if (exactData) {
        __builtin_trap();
    }
    return 0;
}
