// SPDX-License-Identifier: MIT
// Loads arbitrary bytes as a configuration file. Bad files end in a message
// or a conversion error, never in a crash; a list that loads saves again.
#include "components/error.h"
#include "itemlist/vistrel_items.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

// Memory-backed when the system has it: every run writes two files, and
// syncing them to a disk would make the runs a hundred times slower.
std::string scratchFile(const char* name) {
    std::error_code ignored;
    const std::filesystem::path shm = "/dev/shm";
    const std::filesystem::path directory =
        std::filesystem::is_directory(shm, ignored) ? shm : std::filesystem::temp_directory_path();
    return (directory / ("fuzz_config_" + std::to_string(::getpid()) + name)).string();
}

// Every field that the file keeps, the coefficients to the last bit.
std::string definition(const vistrel::VistrelItem& item) {
    std::string out;
    for (const std::string& field :
         {item.address(), std::to_string(item.length()), item.mask(), item.codingText(),
          item.formatText(), item.name(), item.unit()}) {
        out += field;
        out += '\0';
    }
    for (const double coefficient : {item.coefA(), item.coefB(), item.coefC()}) {
        out.append(reinterpret_cast<const char*>(&coefficient), sizeof coefficient);
    }
    return out;
}

// The two files of every run, removed when the fuzzer ends.
struct ScratchFiles {
    std::string input = scratchFile(".xml");
    std::string output = scratchFile("_saved.xml");
    ~ScratchFiles() {
        std::error_code ignored;
        std::filesystem::remove(input, ignored);
        std::filesystem::remove(output, ignored);
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const ScratchFiles files;
    std::ofstream(files.input, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));

    vistrel::VistrelItems items(vistrel::NumberFormat::invariant());
    try {
        items.loadConfigXML(files.input);
    } catch (const vistrel::Error&) {
        // A file that is none, or an unconvertible length or address that
        // stops the load; what came before stays and is saved below.
    }
    items.saveConfigXML(files.output);

    vistrel::VistrelItems reloaded(vistrel::NumberFormat::invariant());
    reloaded.loadConfigXML(files.output);
    if (reloaded.count() != items.count() || reloaded.method() != items.method() ||
        reloaded.lengthSize() != items.lengthSize() ||
        reloaded.StartSession() != items.StartSession()) {
        __builtin_trap();
    }
    for (std::int32_t i = 0; i < items.count(); ++i) {
        if (definition(items.at(i)) != definition(reloaded.at(i))) {
            __builtin_trap();
        }
    }
    return 0;
}
