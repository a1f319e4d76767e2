// SPDX-License-Identifier: MIT
#include "components/xml_nodes.h"
#include "itemlist/config_file_layout.h"
#include "itemlist/file_replace.h"
#include "itemlist/vistrel_items.h"
#include "itemlist/xml_safe_text.h"

#include <cassert>
#include <string>
#include <string_view>

namespace vistrel {
namespace {

using namespace config_file;

// Raw output: the line-break text nodes are the file's only line breaks, so
// the file reads back into exactly the tree that was printed.
constexpr unsigned kRawOutput = pugi::format_raw | pugi::format_no_declaration;

// What the save has to tell the user once it is done: texts that XML could
// not carry, and items that no load will give back.
struct SaveNotes {
    bool altered = false;
    std::string unloadable;
};

// An element with its text under parent, then a line break: the values sit
// one a line in the file. An empty text gives an empty element.
pugi::xml_node appendElement(pugi::xml_node parent, const char* name, std::string_view text,
                             SaveNotes& notes) {
    pugi::xml_node element = parent.append_child(name);
    if (!text.empty()) {
        element.append_child(pugi::node_pcdata).set_value(xmlSafeText(text, notes.altered).c_str());
    }
    appendLineBreak(parent);
    return element;
}

// The three settings always carry a text node, even an empty one.
void appendSetting(pugi::xml_node root, const char* name, std::string_view text, SaveNotes& notes) {
    root.append_child(name)
        .append_child(pugi::node_pcdata)
        .set_value(xmlSafeText(text, notes.altered).c_str());
    appendLineBreak(root);
}

// The "Data" element of one item and the line break after it.
void appendData(pugi::xml_node parent, const VistrelItem& item, SaveNotes& notes) {
    pugi::xml_node data = appendElement(parent, kData, "", notes);
    appendLineBreak(data);
    const auto add = [&](DataField field, std::string_view text) {
        appendElement(data, kDataNames[field], text, notes);
    };
    add(kAddress, item.address());
    add(kLength, std::to_string(item.length()));
    add(kType, item.codingText());
    add(kName, item.name());
    add(kUnit, item.unit());
    add(kA, formatRoundTrip(item.coefA()));
    add(kB, formatRoundTrip(item.coefB()));
    add(kC, formatRoundTrip(item.coefC()));
    add(kFormat, item.formatText());
    add(kMask, item.mask());
}

// An item whose length is not one a load accepts (a length field that was no
// number leaves it at 0) is written, but would vanish on the way back.
void noteUnloadable(SaveNotes& notes, std::size_t row, const VistrelItem& item) {
    if (item.length() >= 1 && item.length() <= 8) {
        return;
    }
    notes.unloadable += "\r\nitem " + std::to_string(row) + " \"" + item.name() + "\" (length " +
                        std::to_string(item.length()) + ")";
}

std::string saveNotesText(const SaveNotes& notes, const std::string& path) {
    std::string text;
    if (notes.altered) {
        text = "Caract\u00E8res retir\u00E9s ou remplac\u00E9s (Characters that XML cannot carry "
               "were removed or replaced): " +
               path;
    }
    if (!notes.unloadable.empty()) {
        if (!text.empty()) {
            text += "\r\n";
        }
        text += "Longueur invalide, \u00E9l\u00E9ment perdu au chargement (Length out of range, "
                "the item will not load back):" +
                notes.unloadable;
    }
    return text;
}

class StringWriter : public pugi::xml_writer {
public:
    std::string bytes;
    void write(const void* data, std::size_t size) override {
        bytes.append(static_cast<const char*>(data), size);
    }
};

class FileWriter : public pugi::xml_writer {
public:
    explicit FileWriter(FileReplacement& file) : file_(file) {}
    void write(const void* data, std::size_t size) override {
        file_.write({static_cast<const char*>(data), size});
    }

private:
    FileReplacement& file_;
};

} // namespace

std::string VistrelItems::saveConfigXML(const std::string& path) {
    FileReplacement file(path);

    // The file is the raw output of one tree, but that tree is never built
    // whole: at some kilobytes an item, a long list would make the save
    // mostly a matter of fetching fresh memory. So the head (declaration,
    // root, settings, "Datas" with its first line break) is printed from a
    // tree without items, each item from a small tree of its own, then the
    // end tags that close the head's tree. Raw output of the pieces is, byte
    // for byte, the raw output of the whole.
    pugi::xml_document head;
    appendDeclaration(head);
    pugi::xml_node root = head.append_child(kRoot);
    appendLineBreak(root);
    root.append_attribute(kVersion).set_value(kVersionWritten);
    SaveNotes notes;
    appendSetting(root, kMethod, std::to_string(static_cast<std::int32_t>(method_)), notes);
    appendSetting(root, kLengthSize, std::to_string(lengthSize_), notes);
    appendSetting(root, kStartSession, startSession_, notes);
    if (mergeWindow_ != kDefaultMergeWindow) {
        appendSetting(root, kMergeWindow, std::to_string(mergeWindow_), notes);
    }
    appendLineBreak(root.append_child(kDatas));

    StringWriter headText;
    head.save(headText, "", kRawOutput, pugi::encoding_utf8);
    // "Datas" is the root's last child: its end tag and the root's are the
    // last bytes of the head's output, and the items go just before them.
    const std::string endTags = std::string("</") + kDatas + "></" + kRoot + ">";
    assert(headText.bytes.ends_with(endTags));
    file.write(std::string_view(headText.bytes).substr(0, headText.bytes.size() - endTags.size()));

    FileWriter writer(file);
    std::size_t row = 0;
    for (const ItemPtr& each : items_) {
        pugi::xml_document piece;
        appendData(piece, *each, notes);
        noteUnloadable(notes, ++row, *each);
        piece.save(writer, "", kRawOutput, pugi::encoding_utf8);
    }
    file.write(endTags);
    file.commit();

    return saveNotesText(notes, path);
}

} // namespace vistrel
