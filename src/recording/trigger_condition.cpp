// SPDX-License-Identifier: MIT
#include "recording/trigger_condition.h"

#include "components/error.h"
#include "components/error_numbers.h"
#include "recording/value_text.h"

#include <algorithm>
#include <array>
#include <utility>

namespace vistrel {
namespace {

[[noreturn]] void refuse(std::string_view whole, const std::string& why) {
    throw Error(kTriggerConditionError, "Condition \"" + std::string(whole) + "\": " + why,
                "TriggerCondition");
}

std::string_view trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// The pieces of text between the separator words, e.g. " or ".
std::vector<std::string_view> splitOnWord(std::string_view text, std::string_view word) {
    std::vector<std::string_view> pieces;
    for (auto at = text.find(word); at != std::string_view::npos; at = text.find(word)) {
        pieces.push_back(text.substr(0, at));
        text.remove_prefix(at + word.size());
    }
    pieces.push_back(text);
    return pieces;
}

} // namespace

TriggerCondition TriggerCondition::parse(std::string_view text) {
    TriggerCondition condition;
    condition.text_ = std::string(text);
    for (const std::string_view alternative : splitOnWord(text, " or ")) {
        auto& all = condition.alternatives_.emplace_back();
        for (const std::string_view comparison : splitOnWord(alternative, " and ")) {
            all.push_back(parseComparison(comparison, text));
        }
    }
    return condition;
}

TriggerCondition::Comparison TriggerCondition::parseComparison(std::string_view text,
                                                               std::string_view whole) {
    // Two-character operators first, so that ">=" is not read as ">".
    static constexpr std::array<std::pair<std::string_view, Operator>, 6> kOperators{{
        {">=", Operator::GreaterOrEqual},
        {"<=", Operator::LessOrEqual},
        {"==", Operator::Equal},
        {"!=", Operator::NotEqual},
        {">", Operator::Greater},
        {"<", Operator::Less},
    }};
    const auto at = text.find_first_of("<>=!");
    if (at == std::string_view::npos) {
        refuse(whole, "\"" + std::string(trimmed(text)) +
                          "\" is not NAME OP NUMBER with OP one of > >= < <= == !=");
    }
    const auto op = std::find_if(kOperators.begin(), kOperators.end(), [&](const auto& o) {
        return text.substr(at).starts_with(o.first);
    });
    const std::string_view name = trimmed(text.substr(0, at));
    if (op == kOperators.end() || name.empty()) {
        refuse(whole, "\"" + std::string(trimmed(text)) +
                          "\" is not NAME OP NUMBER with OP one of > >= < <= == !=");
    }
    const std::string_view numberText = trimmed(text.substr(at + op->first.size()));
    const auto number = valueOfText(numberText, ValueRadix::Decimal);
    if (!number) {
        refuse(whole, "\"" + std::string(numberText) + "\" is not a number");
    }
    return {std::string(name), op->second, *number};
}

void TriggerCondition::bind(const std::vector<std::string>& itemNames) {
    for (auto& all : alternatives_) {
        for (Comparison& comparison : all) {
            const auto found = std::find(itemNames.begin(), itemNames.end(), comparison.name);
            if (found == itemNames.end()) {
                refuse(text_, "no item is named \"" + comparison.name + "\"");
            }
            comparison.column = static_cast<std::size_t>(found - itemNames.begin());
        }
    }
}

bool TriggerCondition::holds(const std::vector<std::optional<double>>& values) const {
    const auto comparisonHolds = [&](const Comparison& c) {
        if (c.column >= values.size() || !values[c.column]) {
            return false;
        }
        const double v = *values[c.column];
        switch (c.op) {
        case Operator::Greater:
            return v > c.number;
        case Operator::GreaterOrEqual:
            return v >= c.number;
        case Operator::Less:
            return v < c.number;
        case Operator::LessOrEqual:
            return v <= c.number;
        case Operator::Equal:
            return v == c.number;
        case Operator::NotEqual:
            return v != c.number;
        }
        return false;
    };
    return std::any_of(alternatives_.begin(), alternatives_.end(), [&](const auto& all) {
        return std::all_of(all.begin(), all.end(), comparisonHolds);
    });
}

} // namespace vistrel
