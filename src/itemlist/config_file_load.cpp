#include "components/error.h"
#include "components/error_numbers.h"
#include "itemlist/config_file_layout.h"
#include "itemlist/config_file_parse.h"
#include "itemlist/leading_number.h"
#include "itemlist/parse_error_line.h"
#include "itemlist/user_whole_number.h"
#include "itemlist/vistrel_items.h"
#include "itemlist/xml_nodes.h"

#include <array>
#include <charconv>
#include <cstdio>
#include <cstring>

namespace vistrel {
namespace {

using namespace config_file;

// The line of the parse error, read from the file again: only a failed
// load pays for that second read.
std::size_t errorLine(const std::string& name, const pugi::xml_parse_result& result) {
    if (result.status == pugi::status_file_not_found || result.status == pugi::status_io_error) {
        return 0;
    }
    // C streams: a path that names a directory simply reads nothing.
    std::string file;
    if (std::FILE* in = std::fopen(name.c_str(), "rb")) {
        std::array<char, 65536> chunk{};
        std::size_t got = 0;
        while ((got = std::fread(chunk.data(), 1, chunk.size(), in)) > 0) {
            file.append(chunk.data(), got);
        }
        std::fclose(in);
    }
    return lineOfParseError(file, result.encoding, result.offset);
}

// The method whose number is exactly text ("0" to "3"); 0 for any other
// text, which a reader of fewer methods also falls back to.
Method methodNumber(const std::string& text) {
    for (std::int32_t i = 1; !VistrelItems::MethodeLabel(i).empty(); ++i) {
        if (text == std::to_string(i)) {
            return static_cast<Method>(i);
        }
    }
    return Method::ReadMemoryByAddress;
}

// The version of the root element, 0 when the root is missing or unusable.
// It is read in the user's number format: "1,0" reads 1 or 10, both > 0.
double readVersion(pugi::xml_node root, const NumberFormat& format) {
    const pugi::xml_attribute version = root.attribute(kVersion);
    if (!version) {
        return 0.0;
    }
    return parseUserNumber(version.value(), format).value_or(0.0);
}

// The first child element of each name in kDataNames, in one pass. The
// names are tried from the one after the last match on, so that a file in
// the written order takes one comparison an element.
std::array<pugi::xml_node, kDataFields> dataElements(pugi::xml_node data) {
    std::array<pugi::xml_node, kDataFields> found;
    std::size_t expected = 0;
    for (pugi::xml_node child = data.first_child(); child; child = child.next_sibling()) {
        if (child.type() != pugi::node_element) {
            continue;
        }
        for (std::size_t tried = 0; tried < kDataFields; ++tried) {
            const std::size_t field = (expected + tried) % kDataFields;
            if (std::strcmp(child.name(), kDataNames[field]) == 0) {
                if (!found[field]) {
                    found[field] = child;
                }
                expected = field + 1;
                break;
            }
        }
    }
    return found;
}

std::string textOr(pugi::xml_node element, const char* absent) {
    return element ? textContent(element) : absent;
}

double numberOr(pugi::xml_node element, double absent) {
    return element ? readLeadingNumber(textContent(element)) : absent;
}

std::int32_t lengthOf(pugi::xml_node element, const NumberFormat& format) {
    const std::string text = textOr(element, "");
    if (text.empty()) {
        return 0;
    }
    const auto length = parseUserWholeNumber(text, format);
    if (!length) {
        throw Error(kConversionError, "Type mismatch: length (" + text + ") is not a whole number",
                    "VistrelItems.loadConfigXML");
    }
    return *length;
}

} // namespace

void VistrelItems::loadConfigXML(const std::string& nom) {
    pugi::xml_document document;
    const pugi::xml_parse_result result = parseConfigFile(document, nom);
    if (!result) {
        throw Error(kConfigLoadError,
                    "erreur load " + std::to_string(static_cast<int>(result.status)) + " " +
                        std::to_string(errorLine(nom, result)) + " " + result.description(),
                    "VistrelItems.loadConfigXML");
    }

    const pugi::xml_node root = document.child(kRoot);
    if (!(readVersion(root, numberFormat()) > 0.0)) {
        throw Error(kBadConfigFile, "Mauvais fichier de configuration / Bad config file\r\n" + nom,
                    "VistrelItems.loadConfigXML");
    }
    if (const pugi::xml_node method = root.child(kMethod)) {
        method_ = methodNumber(textContent(method));
    }
    if (const pugi::xml_node size = root.child(kLengthSize)) {
        lengthSize_ = textContent(size) == "2" ? 2 : 1;
    }
    if (const pugi::xml_node session = root.child(kStartSession)) {
        try {
            startSession_ = ByteString::fromText(textContent(session)).text();
        } catch (const Error&) {
            // A session text that is not hexadecimal keeps the current one.
        }
    }
    if (const pugi::xml_node window = root.child(kMergeWindow)) {
        // Anything but a plain number in range keeps the current window.
        const std::string text = textContent(window);
        std::int32_t bytes = 0;
        if (std::from_chars(text.data(), text.data() + text.size(), bytes).ptr ==
                text.data() + text.size() &&
            !text.empty() && bytes >= 1 && bytes <= 255) {
            mergeWindow_ = bytes;
        }
    }
    if (const pugi::xml_node datas = root.child(kDatas)) {
        loadDatas(datas);
    }
}

void VistrelItems::loadDatas(pugi::xml_node datas) {
    // Each "Data" leaves the tree once read: the items take the memory that
    // it held, so a long list does not need room for the tree and the items
    // at once.
    for (pugi::xml_node data = datas.child(kData), next; data; data = next) {
        next = data.next_sibling(kData);
        const auto element = dataElements(data);
        const std::string address = textOr(element[kAddress], "");
        const std::int32_t length = lengthOf(element[kLength], numberFormat());
        const bool complete = address.size() >= 2 && address.size() % 2 == 0;
        if (complete && length >= 1 && length <= 8) {
            VistrelItem& loaded = add(address);
            loaded.setMask(textOr(element[kMask], ""));
            loaded.setLength(length);
            loaded.setName(textOr(element[kName], ""));
            loaded.setUnit(textOr(element[kUnit], ""));
            loaded.setCoefA(numberOr(element[kA], 1.0));
            loaded.setCoefB(numberOr(element[kB], 0.0));
            loaded.setCoefC(numberOr(element[kC], 1.0));
            loaded.setCodingText(textOr(element[kType], "BE"));
            loaded.setFormatText(textOr(element[kFormat], "H"));
        }
        datas.remove_child(data);
    }
}

} // namespace vistrel
