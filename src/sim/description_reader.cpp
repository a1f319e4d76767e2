// SPDX-License-Identifier: MIT
#include "sim/description_reader.h"

#include "components/error.h"
#include "components/error_numbers.h"
#include "components/negative_response.h"

#include <algorithm>
#include <charconv>

namespace vistrel {
namespace {

bool isBlank(std::string_view text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; });
}

std::string rangeText(std::int64_t min, std::int64_t max) {
    return std::to_string(min) + " to " + std::to_string(max);
}

// "<name>: attribute="value"" for messages about one attribute's value.
std::string attributeLabel(pugi::xml_node element, const char* name) {
    return elementLabel(element) + ": " + name + "=\"" + element.attribute(name).value() + "\"";
}

// The whole attribute as a number in base, or nothing when the attribute is
// absent and has a fallback. A required attribute that is absent and a value
// that is not all digits fail, naming what the value should have been.
template <typename Number>
std::optional<Number> attributeNumber(const DescriptionReader& reader, pugi::xml_node element,
                                      const char* name, bool required, int base,
                                      const char* expected) {
    const pugi::xml_attribute attribute = element.attribute(name);
    if (!attribute) {
        if (required) {
            reader.fail(element, elementLabel(element) + " needs the attribute \"" + name + "\"");
        }
        return std::nullopt;
    }
    const std::string_view value = attribute.value();
    Number number = 0;
    const auto [end, status] =
        std::from_chars(value.data(), value.data() + value.size(), number, base);
    if (value.empty() || status != std::errc() || end != value.data() + value.size()) {
        reader.fail(element, attributeLabel(element, name) + " is not a " + expected);
    }
    return number;
}

} // namespace

std::string elementLabel(pugi::xml_node element) {
    return std::string("<") + element.name() + ">";
}

int DescriptionReader::lineAt(std::ptrdiff_t offset) const noexcept {
    const std::size_t end = std::min<std::size_t>(offset < 0 ? 0 : offset, xml_.size());
    return 1 + static_cast<int>(std::count(xml_.begin(), xml_.begin() + end, '\n'));
}

void DescriptionReader::failAt(std::ptrdiff_t offset, const std::string& what) const {
    throw Error(kBadDescriptionError,
                sourceName_ + ":" + std::to_string(lineAt(offset)) + ": " + what, "SimulatedEcu");
}

void DescriptionReader::checkAttributes(pugi::xml_node element,
                                        std::initializer_list<std::string_view> allowed) const {
    for (const pugi::xml_attribute attribute : element.attributes()) {
        if (std::find(allowed.begin(), allowed.end(), attribute.name()) == allowed.end()) {
            fail(element, "unknown attribute \"" + std::string(attribute.name()) + "\" on " +
                              elementLabel(element));
        }
    }
}

void DescriptionReader::checkNoText(pugi::xml_node element) const {
    for (const pugi::xml_node child : element.children()) {
        if ((child.type() == pugi::node_pcdata || child.type() == pugi::node_cdata) &&
            !isBlank(child.value())) {
            fail(element, "unexpected text inside " + elementLabel(element));
        }
    }
}

void DescriptionReader::checkNoChildren(pugi::xml_node element) const {
    if (const pugi::xml_node child = element.find_child(
            [](pugi::xml_node node) { return node.type() == pugi::node_element; })) {
        fail(child,
             "unexpected element " + elementLabel(child) + " inside " + elementLabel(element));
    }
    checkNoText(element);
}

std::uint64_t DescriptionReader::hex(pugi::xml_node element, const char* name,
                                     std::optional<std::uint64_t> fallback,
                                     std::uint64_t max) const {
    const auto number =
        attributeNumber<std::uint64_t>(*this, element, name, !fallback, 16, "hexadecimal number");
    if (!number) {
        return *fallback;
    }
    if (*number > max) {
        fail(element, attributeLabel(element, name) + " is above the largest value " +
                          hexNoLeadingZeros(static_cast<std::uint32_t>(max)));
    }
    return *number;
}

std::int64_t DescriptionReader::decimal(pugi::xml_node element, const char* name,
                                        std::optional<std::int64_t> fallback, std::int64_t min,
                                        std::int64_t max) const {
    const auto number =
        attributeNumber<std::int64_t>(*this, element, name, !fallback, 10, "decimal whole number");
    if (!number) {
        return *fallback;
    }
    if (*number < min || *number > max) {
        fail(element,
             attributeLabel(element, name) + " is out of range (" + rangeText(min, max) + ")");
    }
    return *number;
}

std::string DescriptionReader::text(pugi::xml_node element, const char* name,
                                    std::string fallback) const {
    const pugi::xml_attribute attribute = element.attribute(name);
    return attribute ? std::string(attribute.value()) : std::move(fallback);
}

} // namespace vistrel
