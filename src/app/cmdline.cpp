#include "app/cmdline.h"

#include <algorithm>
#include <climits>

namespace pm {
namespace {

bool IsWhiteSpace(wchar_t c) { return c == L' ' || (c >= L'\t' && c <= L'\r'); }

// The value behind the first occurrence of option, or nothing when it does not occur.
std::optional<std::wstring> OptionValue(std::wstring_view line, std::wstring_view option) {
    const std::size_t at = line.find(option);
    if (at == std::wstring_view::npos) return {};
    std::wstring value;
    ExtractOptionValue(line.substr(at), value, option.size(), kOptionReach);
    return value;
}

std::optional<int32_t> NumberOption(std::wstring_view line, std::wstring_view option) {
    if (auto value = OptionValue(line, option)) return ParseNumber(*value);
    return {};
}

}  // namespace

bool IsSilentCommandLine(std::wstring_view commandLine) {
    return commandLine.find(L"/silent") != std::wstring_view::npos;
}

std::size_t ExtractOptionValue(std::wstring_view source, std::wstring& destination,
                               std::size_t start, std::size_t limit) {
    destination.clear();
    const std::size_t end = std::min(source.size(), limit);
    std::size_t i = start;
    for (; i < end && source[i] != L'/' && source[i] != L'\0'; ++i) destination += source[i];
    return i;
}

void UnquoteValue(std::wstring& text) {
    auto trimEnd = [&text] {
        while (!text.empty() && text.back() == L' ') text.pop_back();
    };
    trimEnd();
    if (!text.empty() && text.back() == L'"') text.pop_back();
    if (!text.empty() && text.front() == L'"') text.erase(0, 1);
    trimEnd();
}

int32_t ParseNumber(std::wstring_view text) {
    std::size_t i = 0;
    while (i < text.size() && IsWhiteSpace(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) negative = text[i++] == L'-';
    int64_t value = 0;
    for (; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i) {
        value = std::min<int64_t>(value * 10 + (text[i] - L'0'), int64_t{INT32_MAX} + 1);
    }
    if (negative) value = -value;
    return static_cast<int32_t>(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX));
}

InstallOptions ParseSilentOptions(std::wstring_view commandLine, const FolderDefaults& defaults) {
    InstallOptions options;
    if (defaults.existingFolder) {
        options.installFolder = *defaults.existingFolder;
    } else {
        options.installFolder = defaults.defaultFolder;
        options.settingsFolder = L"%APPDATA%\\Pixelmoor";
    }

    const std::wstring_view line =
        commandLine.substr(0, std::min(commandLine.size(), kCommandLineCopyLength));

    if (auto folder = OptionValue(line, L"/folder=")) {
        options.installFolder = std::move(*folder);
        UnquoteValue(options.installFolder);
    }
    if (auto n = NumberOption(line, L"/desktop=")) options.desktopLink = *n;
    if (auto n = NumberOption(line, L"/thumbs=")) options.thumbnailsLink = *n;
    if (auto n = NumberOption(line, L"/group=")) options.startMenuGroup = *n;
    if (auto n = NumberOption(line, L"/allusers=")) options.allUsers = *n;
    if (auto n = NumberOption(line, L"/assoc=")) {
        if (*n == 1 || *n == 2) {
            const int rows = *n == 1 ? kImageTypeRows : kTypeSelectionSize;
            std::fill_n(options.typeSelection.begin(), rows, 1);
            options.anyTypeChosen = 1;
        }
    }
    if (line.find(L"/assocallusers") != std::wstring_view::npos) options.allUsersXp = 1;
    if (auto ini = OptionValue(line, L"/ini=")) {
        options.settingsFolder = std::move(*ini);
        UnquoteValue(options.settingsFolder);
    }

    options.silent = 1;
    options.caption = kSilentCaption;
    return options;
}

}  // namespace pm
