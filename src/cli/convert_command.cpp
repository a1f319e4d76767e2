// SPDX-License-Identifier: MIT
#include "cli/convert_command.h"

#include "cli/exit_status.h"
#include "cli/file_text.h"
#include "cli/item_lines.h"
#include "cli/terminal_ports.h"
#include "components/error.h"
#include "control/clipboard_lines.h"
#include "control/text_decoding.h"
#include "itemlist/vistrel_items.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <optional>

namespace vistrel::cli {
namespace {

enum class ListFile { ItemLines, Configuration };

std::optional<ListFile> listFileKind(const std::string& path) {
    std::string extension = std::filesystem::path(path).extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (extension == ".tsv" || extension == ".txt") {
        return ListFile::ItemLines;
    }
    if (extension == ".xml") {
        return ListFile::Configuration;
    }
    return std::nullopt;
}

std::string quoted(const std::string& text) {
    return "\"" + text + "\"";
}

// Item lines to a configuration file. Lines that make no item are reported
// and skipped, the way Paste skips them, but not silently; a file whose lines
// make no item at all is surely not what was meant, and writes nothing.
void linesToConfiguration(const std::string& inPath, const std::string& outPath,
                          std::ostream& err) {
    VistrelItems items;
    const std::string text = decodeUserText(readTextFile(inPath));
    const auto lines = pastedLines(text);
    bool anyText = false;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        anyText = anyText || !lines[i].empty();
        const std::string where = inPath + ":" + std::to_string(i + 1) + ": ";
        const auto before = items.count();
        try {
            const auto item = items.addLine(lines[i]);
            if (item && items.count() == before) {
                err << where << "an item named " << quoted(item->name())
                    << " is already in the list (letter case ignored); line skipped\n";
            } else if (item && item->length() == 0) {
                err << where << "the length of " << quoted(item->name())
                    << " is not a number; the item is written with length 0, which no load "
                       "gives back\n";
            }
        } catch (const Error& e) {
            err << where << e.description() << "; line skipped\n";
        }
    }
    if (anyText && items.count() == 0) {
        throw UsageError(inPath + ": no line makes an item; nothing written");
    }
    try {
        if (const std::string notes = items.saveConfigXML(outPath); !notes.empty()) {
            err << notes << '\n';
        }
    } catch (const Error& e) {
        throw UsageError(outPath + ": " + e.description());
    }
}

void checkNoLineBreaks(const std::string& inPath, std::size_t index, const VistrelItem& item) {
    for (const std::string* text : {&item.name(), &item.unit()}) {
        if (text->find_first_of("\t\r\n") != std::string::npos) {
            throw UsageError(inPath + ": item " + std::to_string(index + 1) + " " +
                             quoted(item.name()) +
                             " holds a tab or a line break, which an item line cannot carry; "
                             "nothing written");
        }
    }
}

// A configuration file to item lines. Every line is read back before the
// file is written, so that no item is lost or changed on the way: a name
// used twice (letter case ignored) or a text that an item line cannot carry
// ends the conversion with nothing written.
void configurationToLines(const std::string& inPath, const std::string& outPath,
                          std::ostream& err) {
    VistrelItems items;
    try {
        items.loadConfigXML(inPath);
    } catch (const Error& e) {
        throw UsageError(inPath + ": " + e.description());
    }

    const NumberFormat& format = items.numberFormat();
    VistrelItems readBack(format);
    std::string text = methodLine(items) + "\n";
    for (std::size_t i = 0; i < static_cast<std::size_t>(items.count()); ++i) {
        const VistrelItem& item = items.at(i);
        checkNoLineBreaks(inPath, i, item);
        const std::string line = itemLine(item, format);
        const std::string which =
            inPath + ": item " + std::to_string(i + 1) + " " + quoted(item.name());
        const auto before = readBack.count();
        readBack.addLine(line);
        if (readBack.count() == before) {
            throw UsageError(which +
                             ": its name is already taken by an earlier item (letter case "
                             "ignored), and item lines keep only the first; nothing written");
        }
        if (const auto field = firstDifference(item, readBack.at(before))) {
            throw UsageError(which + ": its item line would not give back its " +
                             std::string(*field) + "; nothing written");
        }
        text += line + "\n";
    }

    const VistrelItems defaults;
    if (items.lengthSize() != defaults.lengthSize() ||
        items.StartSession() != defaults.StartSession()) {
        err << inPath << ": item lines keep neither the length size (" << items.lengthSize()
            << ") nor the session request (" << items.StartSession()
            << "); give them with --length-size and --session when reading\n";
    }
    writeTextFile(outPath, text);
}

} // namespace

int runConvert(const std::string& inPath, const std::string& outPath, std::ostream& err) {
    const auto from = listFileKind(inPath);
    const auto to = listFileKind(outPath);
    if (!from || !to || *from == *to) {
        throw UsageError("convert: give one file of item lines (.tsv, .txt) and one "
                         "configuration file (.xml), in either order");
    }
    if (*from == ListFile::ItemLines) {
        linesToConfiguration(inPath, outPath, err);
    } else {
        configurationToLines(inPath, outPath, err);
    }
    return kExitSuccess;
}

} // namespace vistrel::cli
