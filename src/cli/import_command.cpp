// SPDX-License-Identifier: MIT
#include "cli/import_command.h"

#include "cli/exit_status.h"
#include "cli/file_text.h"
#include "components/error.h"
#include "itemlist/a2l_mapping.h"
#include "itemlist/a2l_reader.h"
#include "itemlist/vistrel_items.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <regex>
#include <unordered_set>

namespace vistrel::cli {
namespace {

std::string lowerExtension(const std::string& path) {
    std::string extension = std::filesystem::path(path).extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension;
}

std::function<bool(const A2lMeasurement&)> chooser(const ImportOptions& options) {
    std::optional<std::regex> pattern;
    if (options.match) {
        try {
            pattern.emplace(*options.match, std::regex::ECMAScript);
        } catch (const std::regex_error& e) {
            throw UsageError("--match: \"" + *options.match + "\" is no regular expression (" +
                             e.what() + ")");
        }
    }
    if (options.measurements.empty() && !pattern) {
        return [](const A2lMeasurement&) { return true; };
    }
    std::unordered_set<std::string> names(options.measurements.begin(), options.measurements.end());
    return [names = std::move(names), pattern = std::move(pattern)](const A2lMeasurement& m) {
        return names.contains(m.name) || (pattern && std::regex_search(m.name, *pattern));
    };
}

// A name asked for that no measurement has: a typing error would otherwise
// quietly drop the one value the user wanted.
std::vector<std::string> unknownNames(const ImportOptions& options,
                                      const A2lDescription& description) {
    std::unordered_set<std::string> known;
    for (const A2lMeasurement& m : description.measurements) {
        known.insert(m.name);
    }
    std::vector<std::string> unknown;
    for (const std::string& name : options.measurements) {
        if (!known.contains(name)) {
            unknown.push_back(name);
        }
    }
    return unknown;
}

void writeItems(const std::vector<ItemLineFields>& fields, const std::string& outFile,
                bool asConfiguration, std::ostream& err) {
    VistrelItems items;
    if (!asConfiguration) {
        std::string text;
        for (const ItemLineFields& item : fields) {
            text += itemLine(item, items.numberFormat()) + "\n";
        }
        writeTextFile(outFile, text);
        return;
    }
    for (const ItemLineFields& item : fields) {
        items.addLine(itemLine(item, items.numberFormat()));
    }
    try {
        if (const std::string notes = items.saveConfigXML(outFile); !notes.empty()) {
            err << notes << '\n';
        }
    } catch (const Error& e) {
        throw UsageError(outFile + ": " + e.description());
    }
}

} // namespace

int runImport(const ImportOptions& options, std::ostream& err) {
    const std::string extension = lowerExtension(options.outFile);
    const bool asConfiguration = extension == ".xml";
    if (!asConfiguration && extension != ".tsv" && extension != ".txt") {
        throw UsageError("import: -o names a configuration file (.xml) or item lines (.tsv, .txt)");
    }
    if (options.addressBytes != 3 && options.addressBytes != 4) {
        throw UsageError("--address-bytes: 3 or 4");
    }
    const auto offset = parseAddressOffset(options.addressOffset);
    if (!offset) {
        throw UsageError("--address-offset: \"" + options.addressOffset +
                         "\" is not a hexadecimal number of at most 32 bits ([-]HEX)");
    }
    const A2lAddressing addressing{*offset, options.addressBytes};
    const auto chosen = chooser(options);

    A2lDescription description;
    try {
        description = readA2l(options.a2lFile, a2lFilesOnDisk());
    } catch (const Error& e) {
        throw UsageError(e.description());
    }
    if (const auto unknown = unknownNames(options, description); !unknown.empty()) {
        for (const std::string& name : unknown) {
            err << options.a2lFile << ": no MEASUREMENT named \"" << name << "\"\n";
        }
        err << "nothing written\n";
        return kExitReadFailed;
    }

    const A2lImport import = importMeasurements(description, addressing, chosen);
    err << importSummary(import);
    if (import.items.empty()) {
        err << "nothing written\n";
        return kExitReadFailed;
    }
    writeItems(import.items, options.outFile, asConfiguration, err);
    return kExitSuccess;
}

} // namespace vistrel::cli
