// SPDX-License-Identifier: MIT
#pragma once

#include "components/number_format.h"
#include "item/vistrel_item.h"
#include "reading/reading_method.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <pugixml.hpp>
#include <string>
#include <string_view>
#include <vector>

namespace vistrel {

class Error;
class Protocol;

// The ordered list of memory items that the control shows and reads, with
// the settings of one read: method, length size, session request, protocol.
class VistrelItems {
public:
    using ItemPtr = std::shared_ptr<VistrelItem>;
    using const_iterator = std::vector<ItemPtr>::const_iterator;
    // The merged read's window taken from the link's costs; the default.
    static constexpr std::int32_t kAutoMergeWindow = 0;
    static constexpr std::int32_t kDefaultMergeWindow = kAutoMergeWindow;

    explicit VistrelItems(NumberFormat numberFormat = NumberFormat::fromProcessLocale());
    ~VistrelItems();
    VistrelItems(const VistrelItems&) = delete;
    VistrelItems& operator=(const VistrelItems&) = delete;

    // --- settings ---------------------------------------------------------
    std::int32_t lengthSize() const noexcept { return lengthSize_; }
    // 1 or 2; anything else stores 1.
    void setLengthSize(std::int32_t size) noexcept;

    const std::string& StartSession() const noexcept { return startSession_; }
    void setStartSession(std::string text) { startSession_ = std::move(text); }

    // 0 "ReadMemoryByAddress", 1 "DynamicallyDefined", 2
    // "DynamicallyDefinedPacked", 3 "ReadMemoryByAddressMerged",
    // 4 "ReadDataByPeriodicIdentifier", other "".
    static std::string MethodeLabel(std::int32_t i);
    static std::string MethodeLabel(Method method) {
        return MethodeLabel(static_cast<std::int32_t>(method));
    }
    // The method whose label is exactly label (letter case counts);
    // ReadMemoryByAddress for any other text.
    static Method methodOfLabel(std::string_view label);
    std::string Methode() const { return MethodeLabel(method_); }
    void setMethode(std::string_view label) { method_ = methodOfLabel(label); }
    Method method() const noexcept { return method_; }
    void setMethod(Method method) noexcept { method_ = method; }

    // How far apart, first byte to last, the items that the merged method
    // reads together may lie: 1 to 255 bytes, or kAutoMergeWindow for what
    // the link's costs make worth it; anything else stores auto.
    std::int32_t mergeWindow() const noexcept { return mergeWindow_; }
    void setMergeWindow(std::int32_t bytes) noexcept;

    const std::shared_ptr<Protocol>& protocol() const noexcept { return protocol_; }
    // The communication starts anew: every reading method forgets what it
    // told the ECU (the packed method's identifiers, a prepared batch).
    void setProtocol(std::shared_ptr<Protocol> protocol);
    // The reading stops (Stop, another list, another link): a method that
    // left the ECU sending by itself asks it to stop, over the list's
    // protocol, before anything else goes out.
    void releaseReading() noexcept;
    // The clock that times what a reading method waits for between reads
    // (a refused definition's next offer); the steady clock unless replaced.
    using SteadyClock = std::function<std::chrono::steady_clock::time_point()>;
    void setClock(SteadyClock clock);

    // Set while the list's owner wants a read to stop: the read leaves its
    // item loop before the next item. One flag per list, so that two
    // controls in one host never stop each other.
    bool AbortRequest() const noexcept { return abortRequest_.load(); }
    void setAbortRequest(bool requested) noexcept { abortRequest_.store(requested); }
    const NumberFormat& numberFormat() const noexcept { return *numberFormat_; }

    // --- the collection ---------------------------------------------------
    // A new item with that address, appended without a key. Throws the
    // address setter's Error; the item is then not appended.
    VistrelItem& add(std::string_view address);
    // Parses one item line (tab-separated). Returns the item it created,
    // appended or not (a duplicate name is not appended), or nullptr. A method
    // line sets the method. Throws Error 1 "VistrelItems.addLine : Syntax
    // Address Error" for an address that is not hexadecimal.
    ItemPtr addLine(std::string_view line);
    // Whether addLine takes the line as a method line.
    static bool isMethodLine(std::string_view line);
    void clear();
    // A list of its own with the same items and settings, for a reader on
    // another thread: neither list shares an item with the other. The
    // protocol and the abort request are not copied.
    std::unique_ptr<VistrelItems> copy() const;
    std::int32_t count() const noexcept { return static_cast<std::int32_t>(items_.size()); }
    // The item whose key equals name, letter case ignored; nullptr if none.
    VistrelItem* item(std::string_view name) const;
    VistrelItem& at(std::size_t index) const { return *items_.at(index); }
    const_iterator begin() const noexcept { return items_.begin(); }
    const_iterator end() const noexcept { return items_.end(); }

    // --- reading ----------------------------------------------------------
    // Reads every item once. Throws Error 10 when there is no protocol or
    // when every item failed; stops early, silently, on AbortRequest(). After
    // a failed read the packed method defines its identifiers again. The
    // first exchange without any answer is told to silenceBegan at once;
    // after two in a row the rest of the read fails at once.
    using SilenceBegan = std::function<void(const Error&)>;
    void read(pugi::xml_node snapShot = {}, const SilenceBegan& silenceBegan = {});

    // The CAN-XML batch request for every distinct item; nullptr when an
    // item cannot take part.
    std::unique_ptr<pugi::xml_document> CanXmlGetReadMemory(std::int32_t rid, std::int32_t xid);
    // Hands each item its reply from a processed batch document. Throws
    // Error 2000, 1015 or 3000 when the document holds an "e" element.
    bool CanXmlDecode(const pugi::xml_document& processed);

    // --- configuration file -----------------------------------------------
    // Throws Error when the file cannot be written; an earlier file stays.
    // Returns what the user should hear of a save that went through (texts
    // that XML cannot carry, items that no load gives back); "" when none.
    std::string saveConfigXML(const std::string& path);
    // Throws Error kConfigLoadError for a missing or malformed file,
    // kNotXmlFile for one that is not XML at all and kBadConfigFile for one
    // that is not a configuration file, with the text
    // the user is shown; the list then holds what it held before. Throws the
    // Error of a value that cannot be read; the list then holds the items
    // read before it.
    void loadConfigXML(const std::string& path);

private:
    struct Impl;
    ItemPtr newItem() const;
    // Appends item with key; false, and not appended, when the key (letter
    // case ignored) is already taken. An empty key is no key.
    bool appendWithKey(const ItemPtr& item, std::string_view key);
    // Reads the "Data" elements into items, each leaving the tree once read.
    void loadDataElements(pugi::xml_node dataList);

    std::shared_ptr<const NumberFormat> numberFormat_;
    std::unique_ptr<Impl> impl_;
    std::vector<ItemPtr> items_;
    Method method_ = Method::ReadMemoryByAddress;
    std::int32_t lengthSize_ = 1;
    std::int32_t mergeWindow_ = kDefaultMergeWindow;
    std::string startSession_ = "10A0";
    std::shared_ptr<Protocol> protocol_;
    std::atomic<bool> abortRequest_{false};
};

} // namespace vistrel
