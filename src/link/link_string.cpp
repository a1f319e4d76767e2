// SPDX-License-Identifier: MIT
#include "link/link_string.h"

#include "components/byte_string.h"

#include <algorithm>
#include <charconv>

namespace vistrel {
namespace {

std::string listed(std::span<const std::string_view> names) {
    std::string all;
    for (const auto name : names) {
        all += all.empty() ? "" : ", ";
        all += name;
    }
    return all;
}

} // namespace

LinkString parseLinkString(std::string_view text) {
    LinkString linkString;
    const auto kindEnd = text.find_first_of(":,");
    linkString.kind = std::string(text.substr(0, kindEnd));
    if (linkString.kind.empty()) {
        throw LinkStringError("link '" + std::string(text) + "': no kind before ':' (KIND:DEVICE)");
    }
    if (kindEnd == std::string_view::npos) {
        return linkString;
    }
    auto keysStart = kindEnd;
    if (text[kindEnd] == ':') {
        keysStart = text.find(',', kindEnd);
        linkString.device = std::string(text.substr(kindEnd + 1, keysStart - kindEnd - 1));
        if (keysStart == std::string_view::npos) {
            return linkString;
        }
    }
    for (std::string_view pairs = text.substr(keysStart + 1);;) {
        const auto comma = pairs.find(',');
        const std::string_view pair = pairs.substr(0, comma);
        const auto equals = pair.find('=');
        if (equals == std::string_view::npos || equals == 0) {
            throw LinkStringError(linkString.kind + ": '" + std::string(pair) +
                                  "' is not of the form key=value");
        }
        std::string key(pair.substr(0, equals));
        if (std::any_of(linkString.keys.begin(), linkString.keys.end(),
                        [&](const auto& known) { return known.first == key; })) {
            throw LinkStringError(linkString.kind + ": the key " + key + " is given twice");
        }
        linkString.keys.emplace_back(std::move(key), std::string(pair.substr(equals + 1)));
        if (comma == std::string_view::npos) {
            break;
        }
        pairs = pairs.substr(comma + 1);
    }
    return linkString;
}

void addKeyUnlessDefault(LinkString& linkString, std::string_view key, std::string value,
                         std::string_view fallback) {
    if (value != fallback) {
        linkString.keys.emplace_back(std::string(key), std::move(value));
    }
}

std::string formatLinkString(const LinkString& linkString) {
    std::string text = linkString.kind;
    if (!linkString.device.empty()) {
        text += ":" + linkString.device;
    }
    for (const auto& [key, value] : linkString.keys) {
        text += "," + key + "=" + value;
    }
    return text;
}

LinkKeys::LinkKeys(const LinkString& linkString, std::span<const std::string_view> known)
    : spec_(linkString) {
    for (const auto& [key, value] : linkString.keys) {
        if (std::find(known.begin(), known.end(), key) == known.end()) {
            throw LinkStringError(linkString.kind + ": unknown key " + key + "=" + value +
                                  " (known keys: " + listed(known) + ")");
        }
    }
}

const std::string* LinkKeys::given(std::string_view key) const {
    for (const auto& [name, value] : spec_.keys) {
        if (name == key) {
            return &value;
        }
    }
    return nullptr;
}

void LinkKeys::reject(std::string_view key, const std::string& value, std::string_view why) const {
    throw LinkStringError(spec_.kind + ": " + std::string(key) + "=" + value + " " +
                          std::string(why));
}

unsigned LinkKeys::number(std::string_view key, unsigned fallback, unsigned min,
                          unsigned max) const {
    const std::string* value = given(key);
    if (value == nullptr) {
        return fallback;
    }
    unsigned result = 0;
    const char* end = value->data() + value->size();
    const auto [stop, failed] = std::from_chars(value->data(), end, result);
    if (failed != std::errc{} || stop != end || result < min || result > max) {
        reject(key, *value,
               "is not a whole number from " + std::to_string(min) + " to " + std::to_string(max));
    }
    return result;
}

std::uint32_t LinkKeys::hexNumber(std::string_view key, std::uint32_t fallback,
                                  std::uint32_t max) const {
    return hexValue(key, fallback, max,
                    "is not a hexadecimal number from 0 to " + hexPadded(max, 1));
}

std::uint32_t LinkKeys::hexValue(std::string_view key, std::uint32_t fallback, std::uint32_t max,
                                 std::string_view why) const {
    const std::string* value = given(key);
    if (value == nullptr) {
        return fallback;
    }
    std::uint64_t result = 0;
    bool fits = !value->empty() && value->size() <= 8;
    for (const char c : *value) {
        const int digit = hexDigitValue(c);
        fits = fits && digit >= 0;
        result = result * 16 + static_cast<std::uint64_t>(std::max(digit, 0));
    }
    if (!fits || result > max) {
        reject(key, *value, why);
    }
    return static_cast<std::uint32_t>(result);
}

bool LinkKeys::isWord(std::string_view key, std::string_view word) const {
    const std::string* value = given(key);
    return value != nullptr && *value == word;
}

std::size_t LinkKeys::choice(std::string_view key, std::size_t fallback,
                             std::initializer_list<std::string_view> choices) const {
    const std::string* value = given(key);
    if (value == nullptr) {
        return fallback;
    }
    const auto found = std::find(choices.begin(), choices.end(), *value);
    if (found == choices.end()) {
        reject(key, *value, "is not one of " + listed(std::span(choices.begin(), choices.size())));
    }
    return static_cast<std::size_t>(found - choices.begin());
}

} // namespace vistrel
