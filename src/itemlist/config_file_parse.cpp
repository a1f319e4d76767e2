// SPDX-License-Identifier: MIT
#include "itemlist/config_file_parse.h"

#include "itemlist/config_file_layout.h"

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <memory>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace vistrel {
namespace {

using namespace config_file;

// Every white-space text is kept; line ends are not normalised.
constexpr unsigned kExactOptions = (pugi::parse_default | pugi::parse_ws_pcdata) & ~pugi::parse_eol;

// The compact tree that a plain file needs: a white-space text is kept only
// as the whole content of its element (a value of blanks, or a lone CR), so
// the line breaks between elements take no node; and an element's text is its
// own value instead of a child node. A saved list then takes a third of the
// nodes, and the nodes of a long list are most of what its load costs.
constexpr unsigned kCompactOptions =
    (pugi::parse_default | pugi::parse_ws_pcdata_single | pugi::parse_embed_pcdata) &
    ~pugi::parse_eol;

struct BufferRelease {
    void operator()(char* buffer) const noexcept {
        pugi::get_memory_deallocation_function()(buffer);
    }
};
using Buffer = std::unique_ptr<char, BufferRelease>;

// The whole of a regular file (size bytes) and a final 0, in memory from
// pugixml's allocator so that a document can take it over. Nothing when the
// file cannot be read.
Buffer readWholeFile(const std::string& path, std::size_t& size) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return nullptr;
    }
    Buffer buffer;
    struct stat status {};
    if (::fstat(fd, &status) == 0 && S_ISREG(status.st_mode)) {
        const auto fileSize = static_cast<std::size_t>(status.st_size);
        buffer.reset(static_cast<char*>(pugi::get_memory_allocation_function()(fileSize + 1)));
        std::size_t got = 0;
        while (buffer && got < fileSize) {
            const ssize_t n = ::read(fd, buffer.get() + got, fileSize - got);
            if (n > 0) {
                got += static_cast<std::size_t>(n);
            } else if (n == 0 || errno != EINTR) {
                buffer.reset();
            }
        }
        if (buffer) {
            buffer.get()[fileSize] = '\0';
            size = fileSize;
        }
    }
    ::close(fd);
    return buffer;
}

// In a file without comments, CDATA sections, processing instructions or a
// document type after its declaration, every text lies between tags, so the
// compact tree drops a white-space text only where it stands beside a child
// element. A file that holds any of them is read into the exact tree.
bool holdsOnlyElementsAndText(std::string_view text) {
    if (text.starts_with("\xEF\xBB\xBF")) {
        text.remove_prefix(3);
    }
    if (text.starts_with("<?xml")) {
        const std::size_t end = text.find("?>");
        if (end == std::string_view::npos) {
            return false;
        }
        text.remove_prefix(end + 2);
    }
    for (std::size_t at = text.find('<'); at != std::string_view::npos;
         at = text.find('<', at + 1)) {
        if (at + 1 < text.size() && (text[at + 1] == '!' || text[at + 1] == '?')) {
            return false;
        }
    }
    return true;
}

bool hasElementChild(pugi::xml_node node) {
    return static_cast<bool>(
        node.find_child([](pugi::xml_node child) { return child.type() == pugi::node_element; }));
}

// Whether a value the loader reads holds an element of its own, beside which
// the compact tree may have dropped white space that belongs to the value.
bool valuesHoldElements(const pugi::xml_document& document) {
    const pugi::xml_node root = document.child(kRoot);
    for (const char* setting : {kMethod, kLengthSize, kStartSession, kMergeWindow}) {
        if (hasElementChild(root.child(setting))) {
            return true;
        }
    }
    for (const pugi::xml_node data : root.child(kDatas).children(kData)) {
        for (const pugi::xml_node value : data.children()) {
            if (hasElementChild(value)) {
                return true;
            }
        }
    }
    return false;
}

bool compactTreeIsExact(const pugi::xml_document& document, pugi::xml_encoding encoding) {
    // pugixml converts a file in any other encoding into a buffer of its own,
    // made differently from the one above; UTF-16 and UTF-32 markup is not
    // made of single bytes either, so the search above does not hold for it.
    return encoding == pugi::encoding_utf8 && !valuesHoldElements(document);
}

// Whether pugixml reads the file in the encoding its declaration names. Of
// the names it knows only Latin-1; any other (ISO-8859-10, windows-1252…) it
// passes over and reads the bytes as UTF-8, and so must the check, or bytes
// valid in the named code page would reach the list as broken UTF-8.
bool readInDeclaredEncoding(std::string_view text) {
    const std::size_t end = text.find("?>");
    const std::string_view head =
        text.substr(0, end == std::string_view::npos ? text.size() : end + 2);
    pugi::xml_document probe;
    return probe.load_buffer(head.data(), head.size(), pugi::parse_minimal).encoding ==
           pugi::encoding_latin1;
}

XmlFault readFault(const pugi::xml_parse_result& result) {
    return {static_cast<int>(result.status), 0, result.description()};
}

} // namespace

std::optional<XmlFault> parseConfigFile(pugi::xml_document& document, const std::string& path) {
    std::size_t size = 0;
    Buffer buffer = readWholeFile(path, size);
    if (!buffer) {
        std::error_code ignored;
        if (std::filesystem::is_directory(path, ignored)) {
            pugi::xml_parse_result result;
            result.status = pugi::status_io_error;
            return readFault(result);
        }
        // pugixml tells a missing file from an unreadable one.
        return readFault(document.load_file(path.c_str(), kExactOptions));
    }
    // pugixml builds the tree but forgives much that XML forbids; a strict
    // parser judges the file first, so that a file loads here exactly when
    // any other XML reader would take it.
    const std::string_view text(buffer.get(), size);
    if (auto fault = checkWellFormed(text, readInDeclaredEncoding(text))) {
        return fault;
    }
    if (holdsOnlyElementsAndText({buffer.get(), size})) {
        // Parsed where it lies, final 0 included. The document owns the
        // buffer from here.
        const pugi::xml_parse_result result =
            document.load_buffer_inplace_own(buffer.release(), size + 1, kCompactOptions);
        if (result && compactTreeIsExact(document, result.encoding)) {
            return std::nullopt;
        }
    }

    // The exact tree, read by pugixml itself.
    document.reset();
    const pugi::xml_parse_result result = document.load_file(path.c_str(), kExactOptions);
    if (!result) {
        return readFault(result);
    }
    return std::nullopt;
}

} // namespace vistrel
