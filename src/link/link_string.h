// SPDX-License-Identifier: MIT
#pragma once

#include "components/error.h"

#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vistrel {

// A link string the user got wrong: an unknown kind or key, or a value that
// does not fit. The text names the offending part; the command line ends with
// its usage exit code on it.
class LinkStringError : public Error {
public:
    explicit LinkStringError(std::string text)
        : Error(ErrorKind::Usage, kLinkStringError, std::move(text)) {}
};

// One link string, KIND:DEVICE[,key=value]..., taken apart but not yet
// judged: which kinds, keys and values exist is up to each kind.
struct LinkString {
    std::string kind;
    // What follows the colon up to the first comma; empty for "sim".
    std::string device;
    // In the order written; a key occurs at most once.
    std::vector<std::pair<std::string, std::string>> keys;
};

// Splits a link string. Throws LinkStringError for an empty kind, a key
// without "=", an empty key or a key given twice.
LinkString parseLinkString(std::string_view text);

// Adds key=value unless value is the key's default, so that a written link
// string names only what differs.
void addKeyUnlessDefault(LinkString& linkString, std::string_view key, std::string value,
                         std::string_view fallback);

// Writes a link string back: KIND, ":DEVICE" when there is one, then the keys
// in their order. parseLinkString reads it back unchanged.
std::string formatLinkString(const LinkString& linkString);

// The keys of one kind, read with their defaults. Construction rejects a
// key that the kind does not know, so that a typing mistake never passes as
// a default; each reader rejects a value that does not fit.
class LinkKeys {
public:
    LinkKeys(const LinkString& linkString, std::initializer_list<std::string_view> known)
        : LinkKeys(linkString, std::span<const std::string_view>(known.begin(), known.size())) {}
    LinkKeys(const LinkString& linkString, std::span<const std::string_view> known);

    // A whole decimal number within [min, max].
    unsigned number(std::string_view key, unsigned fallback, unsigned min, unsigned max) const;
    // One byte as hexadecimal digits (1 or 2).
    std::uint8_t hexByte(std::string_view key, std::uint8_t fallback) const {
        return static_cast<std::uint8_t>(
            hexValue(key, fallback, 0xFF, "is not a byte in hexadecimal (00 to FF)"));
    }
    // A number in hexadecimal digits within [0, max].
    std::uint32_t hexNumber(std::string_view key, std::uint32_t fallback, std::uint32_t max) const;
    // The value as written, or nullptr when the key is not given.
    const std::string* given(std::string_view key) const;
    // True when the key is given with this word as its value (a word that
    // stands for a setting the other readers cannot express, as baud=auto).
    bool isWord(std::string_view key, std::string_view word) const;
    // The position of the value in choices; fallback when the key is absent.
    std::size_t choice(std::string_view key, std::size_t fallback,
                       std::initializer_list<std::string_view> choices) const;

private:
    std::uint32_t hexValue(std::string_view key, std::uint32_t fallback, std::uint32_t max,
                           std::string_view why) const;
    [[noreturn]] void reject(std::string_view key, const std::string& value,
                             std::string_view why) const;

    const LinkString& spec_;
};

} // namespace vistrel
