// Expansion of %NAME% references to environment variables in folder texts.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace pm {

// Looks a variable up: its value, or nothing when it does not exist.
using VariableLookup = std::function<std::optional<std::wstring>(const std::wstring& name)>;

// Replaces every %NAME% by the variable's value; a reference to a missing variable vanishes
// with both of its "%". Two "%" in a row name the empty variable. A "%" without a closing
// partner takes the rest of the text as the name and ends the expansion.
std::wstring ExpandPercentReferences(std::wstring_view text, const VariableLookup& lookup);

}  // namespace pm
