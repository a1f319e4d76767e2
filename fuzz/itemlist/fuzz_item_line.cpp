// Feeds arbitrary text to the item line parser, one line at a time, as a
// paste would: every line must end in an item, nothing, or error 1.
#include "components/error.h"
#include "itemlist/vistrel_items.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const vistrel::NumberFormat kFrench{",", " "};
    vistrel::VistrelItems items(kFrench);
    std::string_view text(reinterpret_cast<const char*>(data), size);
    while (!text.empty()) {
        const std::size_t end = text.find("\r\n");
        try {
            items.addLine(text.substr(0, end));
        } catch (const vistrel::Error& e) {
            if (e.number() != 1) {
                __builtin_trap();
            }
        }
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 2);
    }
    for (const auto& each : items) {
        if (each->length() < 0 || each->length() > 8 || each->text().empty()) {
            __builtin_trap();
        }
    }
    return 0;
}
