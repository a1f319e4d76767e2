// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <pugixml.hpp>
#include <string>
#include <string_view>

namespace vistrel {

// The checks and conversions that every element of an ECU description goes
// through, with messages that name the file and the line of the element.
class DescriptionReader {
public:
    DescriptionReader(std::string_view xml, std::string sourceName)
        : xml_(xml), sourceName_(std::move(sourceName)) {}

    int lineAt(std::ptrdiff_t offset) const noexcept;
    int lineOf(pugi::xml_node node) const noexcept { return lineAt(node.offset_debug()); }

    [[noreturn]] void failAt(std::ptrdiff_t offset, const std::string& what) const;
    [[noreturn]] void fail(pugi::xml_node node, const std::string& what) const {
        failAt(node.offset_debug(), what);
    }

    // Refuses any attribute not in the list.
    void checkAttributes(pugi::xml_node element,
                         std::initializer_list<std::string_view> allowed) const;
    // Refuses text other than white space directly inside the element.
    void checkNoText(pugi::xml_node element) const;
    // Refuses child elements and text.
    void checkNoChildren(pugi::xml_node element) const;

    // Attribute values. Without a fallback the attribute is required.
    std::uint64_t hex(pugi::xml_node element, const char* name,
                      std::optional<std::uint64_t> fallback, std::uint64_t max) const;
    std::int64_t decimal(pugi::xml_node element, const char* name,
                         std::optional<std::int64_t> fallback, std::int64_t min,
                         std::int64_t max) const;
    std::string text(pugi::xml_node element, const char* name, std::string fallback) const;

private:
    std::string_view xml_;
    std::string sourceName_;
};

// "<name>" for messages.
std::string elementLabel(pugi::xml_node element);

} // namespace vistrel
