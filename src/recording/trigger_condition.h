// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vistrel {

// A condition on the items' values that starts or stops a recording:
// comparisons "NAME OP NUMBER" (OP one of > >= < <= == !=) joined by "and"
// and "or", "and" binding first. NAME is an item's name as the list shows
// it; the number is compared with the item's physical or decimal value.
class TriggerCondition {
public:
    // Throws Error (kTriggerConditionError) for a text that is no condition.
    static TriggerCondition parse(std::string_view text);

    // Ties every name to its column among the given item names; throws Error
    // for a name that is not among them.
    void bind(const std::vector<std::string>& itemNames);

    // On the values of one read, one per item of the bound list. A
    // comparison with an item whose read failed does not hold.
    bool holds(const std::vector<std::optional<double>>& values) const;

    const std::string& text() const noexcept { return text_; }

private:
    enum class Operator { Greater, GreaterOrEqual, Less, LessOrEqual, Equal, NotEqual };
    struct Comparison {
        std::string name;
        Operator op;
        double number;
        std::size_t column = 0;
    };
    static Comparison parseComparison(std::string_view text, std::string_view whole);

    std::string text_;
    // Alternatives ("or") of comparisons that must all hold ("and").
    std::vector<std::vector<Comparison>> alternatives_;
};

// When a recording starts and stops by itself: it waits for the start
// condition (none: at once), stops when the stop condition holds (none:
// never), keeps the lines of the pre-trigger seconds before the start and
// goes on for the post-trigger seconds after the stop.
struct RecordingTrigger {
    std::optional<TriggerCondition> when;
    std::optional<TriggerCondition> until;
    double preTriggerSeconds = 0;
    double postTriggerSeconds = 0;
};

} // namespace vistrel
