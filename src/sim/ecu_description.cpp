// SPDX-License-Identifier: MIT
#include "sim/ecu_description.h"

#include "components/byte_string.h"
#include "components/error_numbers.h"
#include "components/negative_response.h"
#include "sim/demo_ecu.h"
#include "sim/description_reader.h"

#include <algorithm>
#include <fstream>
#include <limits>
#include <sstream>

namespace vistrel {
namespace {

constexpr std::int64_t kInt32Min = std::numeric_limits<std::int32_t>::min();
constexpr std::int64_t kInt32Max = std::numeric_limits<std::int32_t>::max();
constexpr std::int64_t kInt64Min = std::numeric_limits<std::int64_t>::min();
constexpr std::int64_t kInt64Max = std::numeric_limits<std::int64_t>::max();

// ECU dumps are a few megabytes; anything far larger is not one.
constexpr std::size_t kMaxImageBytes = std::size_t{64} << 20;
constexpr std::size_t kImageChunk = std::size_t{1} << 20;

bool isSpace(char c) noexcept {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// A block of mapped memory with the line that placed it, for the overlap
// check.
struct Placement {
    AddressRange range;
    std::string what;
    std::ptrdiff_t offset;
};

class DescriptionParser {
public:
    DescriptionParser(std::string_view xml, const std::string& sourceName,
                      const std::filesystem::path& baseDirectory)
        : xml_(xml), reader_(xml, sourceName), baseDirectory_(baseDirectory) {}

    EcuDescription parse() {
        pugi::xml_document document;
        const pugi::xml_parse_result parsed = document.load_buffer(
            xml_.data(), xml_.size(), pugi::parse_default, pugi::encoding_utf8);
        if (!parsed) {
            reader_.failAt(parsed.offset, std::string("malformed XML: ") + parsed.description());
        }
        // A document without any element does not parse, so there is a root.
        const pugi::xml_node root = document.document_element();
        for (const pugi::xml_node top : document.children()) {
            if (top.type() == pugi::node_element && top != root) {
                reader_.fail(top, "a second root element " + elementLabel(top));
            }
        }
        if (std::string_view(root.name()) != "ecu") {
            reader_.fail(root, "the root element is " + elementLabel(root) + ", not <ecu>");
        }
        readIdentity(root);
        for (const pugi::xml_node child : root.children()) {
            if (child.type() == pugi::node_element) {
                readElement(child);
            }
        }
        reader_.checkNoText(root);
        checkOverlaps();
        return std::move(description_);
    }

private:
    void readIdentity(pugi::xml_node ecu) {
        reader_.checkAttributes(ecu, {"title", "subtitle", "protocolName", "diag", "addressSize",
                                      "rid", "xid", "latencyUs", "ext", "rxext"});
        description_.title = reader_.text(ecu, "title", description_.title);
        description_.subtitle = reader_.text(ecu, "subtitle", description_.subtitle);
        const std::string diag = reader_.text(ecu, "diag", "kwp");
        if (diag != "kwp" && diag != "uds") {
            reader_.fail(ecu, "diag=\"" + diag + "\" is neither \"kwp\" nor \"uds\"");
        }
        const bool uds = diag == "uds";
        description_.family = uds ? DiagnosticFamily::Uds : DiagnosticFamily::Kwp2000;
        description_.protocolName = reader_.text(ecu, "protocolName", uds ? "UDS" : "KWP2000");
        description_.addressSize =
            static_cast<std::uint32_t>(reader_.decimal(ecu, "addressSize", 3, 1, 4));
        description_.rid =
            static_cast<std::int32_t>(reader_.decimal(ecu, "rid", 0, kInt32Min, kInt32Max));
        description_.xid =
            static_cast<std::int32_t>(reader_.decimal(ecu, "xid", 0, kInt32Min, kInt32Max));
        description_.latencyUs =
            static_cast<std::uint32_t>(reader_.decimal(ecu, "latencyUs", 0, 0, 10'000'000));
        maxAddress_ = (std::uint64_t{1} << (8 * description_.addressSize)) - 1;
        if (ecu.attribute("ext") || ecu.attribute("rxext")) {
            if (!ecu.attribute("ext") || !ecu.attribute("rxext")) {
                reader_.fail(ecu, "extended addressing needs both ext and rxext");
            }
            description_.ext = static_cast<std::uint8_t>(reader_.hex(ecu, "ext", 0, 0xFF));
            description_.rxext = static_cast<std::uint8_t>(reader_.hex(ecu, "rxext", 0, 0xFF));
        }
    }

    void readElement(pugi::xml_node element) {
        const std::string_view name = element.name();
        if (name == "memory") {
            readMemory(element);
        } else if (name == "image") {
            readImage(element);
        } else if (name == "signal") {
            readSignal(element);
        } else if (name == "refuse") {
            readRefuse(element);
        } else if (name == "silent") {
            readSilent(element);
        } else if (name == "init") {
            readInit(element);
        } else if (name == "session") {
            readSession(element);
        } else if (name == "ddli") {
            readDdli(element);
        } else if (name == "uds") {
            readUds(element);
        } else if (name == "lock") {
            readLock(element);
        } else {
            reader_.fail(element, "unknown element " + elementLabel(element));
        }
    }

    std::uint32_t address(pugi::xml_node element) const {
        return static_cast<std::uint32_t>(
            reader_.hex(element, "address", std::nullopt, maxAddress_));
    }

    // A range that must end inside the address space.
    AddressRange range(pugi::xml_node element, std::int64_t defaultLength,
                       std::int64_t maxLength) const {
        AddressRange range;
        range.address = address(element);
        range.length = static_cast<std::uint32_t>(
            reader_.decimal(element, "length", defaultLength, 1, maxLength));
        checkInsideAddressSpace(element, range);
        return range;
    }

    // The whole address space, as far as a 32-bit length reaches.
    std::int64_t maxRangeLength() const noexcept {
        return static_cast<std::int64_t>(std::min<std::uint64_t>(maxAddress_ + 1, UINT32_MAX));
    }

    void checkInsideAddressSpace(pugi::xml_node element, const AddressRange& range) const {
        if (range.end() - 1 > maxAddress_) {
            reader_.fail(element,
                         elementLabel(element) + " at " + hexNoLeadingZeros(range.address) +
                             " runs past the end of the " +
                             std::to_string(description_.addressSize) + "-byte address space");
        }
    }

    void place(pugi::xml_node element, const AddressRange& range) {
        placements_.push_back({range, elementLabel(element), element.offset_debug()});
    }

    void readMemory(pugi::xml_node element) {
        reader_.checkAttributes(element, {"address"});
        MemoryBlock block;
        block.address = address(element);
        for (const pugi::xml_node child : element.children()) {
            if (child.type() == pugi::node_element) {
                reader_.fail(child,
                             "unexpected element " + elementLabel(child) + " inside <memory>");
            }
            if (child.type() == pugi::node_pcdata || child.type() == pugi::node_cdata) {
                appendHexBytes(element, child.value(), block.bytes);
            }
        }
        if (block.bytes.empty()) {
            reader_.fail(element, "<memory> holds no bytes");
        }
        addBlock(element, std::move(block));
    }

    // Bytes as pairs of hexadecimal digits; white space may separate them.
    void appendHexBytes(pugi::xml_node element, std::string_view text,
                        std::vector<std::uint8_t>& bytes) const {
        std::size_t i = 0;
        while (i < text.size()) {
            if (isSpace(text[i])) {
                ++i;
                continue;
            }
            std::size_t end = i;
            while (end < text.size() && !isSpace(text[end])) {
                ++end;
            }
            const std::string_view word = text.substr(i, end - i);
            if (!std::all_of(word.begin(), word.end(),
                             [](char c) { return hexDigitValue(c) >= 0; })) {
                reader_.fail(element, "<memory>: \"" + std::string(word.substr(0, 32)) +
                                          "\" is not hexadecimal");
            }
            if (word.size() % 2 != 0) {
                reader_.fail(element, "<memory>: \"" + std::string(word.substr(0, 32)) +
                                          "\" has an odd number of hexadecimal digits");
            }
            for (std::size_t k = 0; k < word.size(); k += 2) {
                bytes.push_back(static_cast<std::uint8_t>(hexDigitValue(word[k]) * 16 +
                                                          hexDigitValue(word[k + 1])));
            }
            i = end;
        }
    }

    void readImage(pugi::xml_node element) {
        reader_.checkAttributes(element, {"address", "file"});
        reader_.checkNoChildren(element);
        MemoryBlock block;
        block.address = address(element);
        const pugi::xml_attribute file = element.attribute("file");
        if (!file || std::string_view(file.value()).empty()) {
            reader_.fail(element, "<image> needs the attribute \"file\"");
        }
        const std::filesystem::path path = baseDirectory_ / file.value();
        std::error_code error;
        // Only a plain file: a device such as /dev/zero or a pipe would never end.
        if (!std::filesystem::is_regular_file(path, error)) {
            reader_.fail(element, "<image>: cannot read the file \"" + path.string() + "\"");
        }
        block.bytes = readImageFile(element, path);
        addBlock(element, std::move(block));
    }

    // The bytes of a dump, refusing a file larger than any ECU memory it could
    // stand for (the size that a file reports cannot be trusted: /proc files
    // say 0).
    std::vector<std::uint8_t> readImageFile(pugi::xml_node element,
                                            const std::filesystem::path& path) const {
        std::ifstream stream(path, std::ios::binary);
        std::vector<std::uint8_t> bytes;
        std::size_t filled = 0;
        while (stream && bytes.size() <= kMaxImageBytes) {
            bytes.resize(std::min(bytes.size() + kImageChunk, kMaxImageBytes + 1));
            stream.read(reinterpret_cast<char*>(bytes.data() + filled),
                        static_cast<std::streamsize>(bytes.size() - filled));
            filled += static_cast<std::size_t>(stream.gcount());
        }
        bytes.resize(filled);
        if (!stream.eof() || stream.bad()) {
            if (filled > kMaxImageBytes) {
                reader_.fail(element,
                             "<image>: the file \"" + path.string() + "\" is larger than 64 MiB");
            }
            reader_.fail(element, "<image>: cannot read the file \"" + path.string() + "\"");
        }
        if (bytes.empty()) {
            reader_.fail(element, "<image>: the file \"" + path.string() + "\" is empty");
        }
        return bytes;
    }

    void addBlock(pugi::xml_node element, MemoryBlock block) {
        if (block.bytes.size() > maxAddress_ + 1 - block.address) {
            reader_.fail(element,
                         elementLabel(element) + " at " + hexNoLeadingZeros(block.address) +
                             " runs past the end of the " +
                             std::to_string(description_.addressSize) + "-byte address space");
        }
        place(element, {block.address, static_cast<std::uint32_t>(block.bytes.size())});
        description_.blocks.push_back(std::move(block));
    }

    void readSignal(pugi::xml_node element) {
        reader_.checkAttributes(element,
                                {"address", "length", "coding", "wave", "min", "max", "periodMs"});
        reader_.checkNoChildren(element);
        Signal signal;
        signal.range = range(element, 1, 8);
        const std::string coding = reader_.text(element, "coding", "BE");
        if (coding != "BE" && coding != "LE" && coding != "BEF" && coding != "LEF") {
            reader_.fail(element, "<signal>: coding=\"" + coding +
                                      "\" is none of \"LE\", \"BE\", \"LEF\", \"BEF\"");
        }
        signal.bigEndian = coding.starts_with("BE");
        signal.isFloat = coding.ends_with('F');
        if (signal.isFloat && signal.range.length != 4 && signal.range.length != 8) {
            reader_.fail(element,
                         "<signal>: a float signal (coding=\"" + coding + "\") has length 4 or 8");
        }
        const std::string waveName = reader_.text(element, "wave", "sine");
        const std::optional<Wave> wave = waveFromName(waveName);
        if (!wave) {
            reader_.fail(element, "<signal>: unknown wave \"" + waveName +
                                      "\" (ramp, sine, square, counter, random)");
        }
        signal.wave = *wave;
        // What fits in the signal's bytes, signed or not; a float holds any
        // whole number a 64-bit one does, rounded to its precision.
        const std::uint32_t bits = signal.isFloat ? 64 : 8 * signal.range.length;
        const std::int64_t lowest = bits == 64 ? kInt64Min : -(std::int64_t{1} << (bits - 1));
        const std::int64_t highest = bits == 64 ? kInt64Max : (std::int64_t{1} << bits) - 1;
        signal.min = reader_.decimal(element, "min", 0, lowest, highest);
        signal.max = reader_.decimal(element, "max", highest, lowest, highest);
        if (signal.min > signal.max) {
            reader_.fail(element, "<signal>: min is above max");
        }
        signal.periodMs =
            static_cast<std::uint32_t>(reader_.decimal(element, "periodMs", 1000, 1, 86'400'000));
        place(element, signal.range);
        description_.signals.push_back(signal);
    }

    void readRefuse(pugi::xml_node element) {
        reader_.checkAttributes(element, {"address", "length", "service", "nrc"});
        reader_.checkNoChildren(element);
        RefusedRange refused;
        refused.range = range(element, 1, maxRangeLength());
        refused.service =
            static_cast<std::uint8_t>(reader_.hex(element, "service", refused.service, 0xFF));
        refused.nrc = static_cast<std::uint8_t>(reader_.hex(element, "nrc", refused.nrc, 0xFF));
        description_.faults.refused.push_back(refused);
    }

    void readSilent(pugi::xml_node element) {
        reader_.checkAttributes(element, {"address", "length"});
        reader_.checkNoChildren(element);
        description_.faults.silent.push_back(range(element, 1, maxRangeLength()));
    }

    void readInit(pugi::xml_node element) {
        once(element, seenInit_);
        reader_.checkAttributes(element, {"failures", "text"});
        reader_.checkNoChildren(element);
        description_.faults.initFailures =
            static_cast<int>(reader_.decimal(element, "failures", 1, 0, kInt32Max));
        description_.faults.initText = reader_.text(element, "text", description_.faults.initText);
    }

    void readSession(pugi::xml_node element) {
        once(element, seenSession_);
        reader_.checkAttributes(element, {"failures", "nrc"});
        reader_.checkNoChildren(element);
        description_.faults.sessionFailures =
            static_cast<int>(reader_.decimal(element, "failures", 1, 0, kInt32Max));
        description_.faults.sessionNrc = static_cast<std::uint8_t>(
            reader_.hex(element, "nrc", description_.faults.sessionNrc, 0xFF));
    }

    void readDdli(pugi::xml_node element) {
        once(element, seenDdli_);
        reader_.checkAttributes(element, {"extraByte", "maxBytes"});
        reader_.checkNoChildren(element);
        const std::string extra = reader_.text(element, "extraByte", "0");
        if (extra != "0" && extra != "1") {
            reader_.fail(element, "<ddli>: extraByte=\"" + extra + "\" is neither \"0\" nor \"1\"");
        }
        description_.ddliExtraByte = extra == "1";
        // Beyond 252 data bytes the reply (61, the identifier, the extra
        // byte) no longer fits the largest K-line frame.
        description_.ddliMaxBytes = static_cast<std::uint32_t>(
            reader_.decimal(element, "maxBytes", description_.ddliMaxBytes, 1, 252));
    }

    void needUds(pugi::xml_node element) const {
        if (description_.family != DiagnosticFamily::Uds) {
            reader_.fail(element, elementLabel(element) + " needs diag=\"uds\" on <ecu>");
        }
    }

    std::chrono::milliseconds milliseconds(pugi::xml_node element, const char* name,
                                           std::chrono::milliseconds fallback, std::int64_t min,
                                           std::int64_t max) const {
        return std::chrono::milliseconds(
            reader_.decimal(element, name, fallback.count(), min, max));
    }

    void readUds(pugi::xml_node element) {
        once(element, seenUds_);
        needUds(element);
        reader_.checkAttributes(element, {"p2Ms", "p2StarMs", "s3Ms", "maxIdentifiers",
                                          "maxElements", "limitNrc", "maxPeriodic", "slowMs",
                                          "mediumMs", "fastMs", "attempts", "delayMs"});
        reader_.checkNoChildren(element);
        UdsSettings& uds = description_.uds;
        // The session reply carries P2 in 2 bytes of milliseconds and P2* in
        // 2 bytes of 10 ms.
        uds.p2 = milliseconds(element, "p2Ms", uds.p2, 0, 0xFFFF);
        uds.p2Star = milliseconds(element, "p2StarMs", uds.p2Star, 0, 0xFFFF * 10);
        uds.s3 = milliseconds(element, "s3Ms", uds.s3, 1, 3'600'000);
        uds.maxIdentifiers =
            static_cast<std::uint32_t>(reader_.decimal(element, "maxIdentifiers", 16, 1, 512));
        uds.maxElements =
            static_cast<std::uint32_t>(reader_.decimal(element, "maxElements", 8, 1, 255));
        uds.limitNrc = static_cast<std::uint8_t>(reader_.hex(element, "limitNrc", 0x31, 0xFF));
        if (uds.limitNrc != 0x13 && uds.limitNrc != 0x22 && uds.limitNrc != 0x31) {
            reader_.fail(element, "<uds>: limitNrc is none of 13, 22, 31");
        }
        uds.maxPeriodic =
            static_cast<std::uint32_t>(reader_.decimal(element, "maxPeriodic", 16, 1, 256));
        const char* rateNames[] = {"slowMs", "mediumMs", "fastMs"};
        for (std::size_t i = 0; i < uds.rates.size(); ++i) {
            uds.rates[i] = milliseconds(element, rateNames[i], uds.rates[i], 1, 3'600'000);
        }
        uds.attempts = static_cast<std::uint32_t>(reader_.decimal(element, "attempts", 3, 1, 255));
        uds.delay = milliseconds(element, "delayMs", uds.delay, 0, 3'600'000);
    }

    void readLock(pugi::xml_node element) {
        needUds(element);
        reader_.checkAttributes(element, {"address", "length", "level"});
        reader_.checkNoChildren(element);
        SecuredRange lock;
        lock.range = range(element, 1, maxRangeLength());
        lock.level = static_cast<std::uint8_t>(reader_.hex(element, "level", 0x01, 0xFF));
        // Seeds are asked for at odd levels, 01 to 7D; the even one above
        // each sends its key.
        if (lock.level % 2 == 0 || lock.level > 0x7D) {
            reader_.fail(element, "<lock>: level " + hexPadded(lock.level, 2) +
                                      " is not an odd level from 01 to 7D");
        }
        description_.uds.locks.push_back(lock);
    }

    void once(pugi::xml_node element, bool& seen) const {
        if (seen) {
            reader_.fail(element, "a second " + elementLabel(element) + " element");
        }
        seen = true;
    }

    void checkOverlaps() const {
        std::vector<const Placement*> sorted;
        for (const Placement& placement : placements_) {
            sorted.push_back(&placement);
        }
        std::sort(sorted.begin(), sorted.end(), [](const Placement* a, const Placement* b) {
            return a->range.address < b->range.address;
        });
        for (std::size_t i = 1; i < sorted.size(); ++i) {
            const Placement* a = sorted[i - 1];
            const Placement* b = sorted[i];
            if (b->range.address < a->range.end()) {
                const Placement* later = a->offset > b->offset ? a : b;
                const Placement* earlier = later == a ? b : a;
                reader_.failAt(later->offset, later->what + " at " +
                                                  hexNoLeadingZeros(later->range.address) +
                                                  " overlaps the " + earlier->what + " at line " +
                                                  std::to_string(reader_.lineAt(earlier->offset)));
            }
        }
    }

    std::string_view xml_;
    DescriptionReader reader_;
    std::filesystem::path baseDirectory_;
    EcuDescription description_;
    std::uint64_t maxAddress_ = 0xFFFFFF;
    std::vector<Placement> placements_;
    bool seenInit_ = false;
    bool seenSession_ = false;
    bool seenDdli_ = false;
    bool seenUds_ = false;
};

} // namespace

EcuDescription parseEcuDescription(std::string_view xml, const std::string& sourceName,
                                   const std::filesystem::path& baseDirectory) {
    return DescriptionParser(xml, sourceName, baseDirectory).parse();
}

EcuDescription loadEcuDescription(const std::string& path) {
    if (path.empty()) {
        return parseEcuDescription(demoEcuDescription(), kDemoEcuSourceName, ".");
    }
    if (path == kDemoUdsName) {
        return parseEcuDescription(demoUdsEcuDescription(), kDemoUdsSourceName, ".");
    }
    std::ifstream stream(path, std::ios::binary);
    std::ostringstream text;
    text << stream.rdbuf();
    if (!stream) {
        throw Error(kBadDescriptionError, path + ": cannot read the file", "SimulatedEcu");
    }
    const std::filesystem::path directory = std::filesystem::path(path).parent_path();
    return parseEcuDescription(text.str(), path, directory.empty() ? "." : directory);
}

} // namespace vistrel
