// %NAME% expansion against the process environment.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace pm {

// The value of an environment variable, or nothing when it does not exist.
std::optional<std::wstring> EnvironmentVariable(const std::wstring& name);

// ExpandPercentReferences with the process environment.
std::wstring ExpandEnvironmentReferences(std::wstring_view text);

}  // namespace pm
