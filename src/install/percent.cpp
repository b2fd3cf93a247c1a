#include "install/percent.h"

namespace pm {

std::wstring ExpandPercentReferences(std::wstring_view text, const VariableLookup& lookup) {
    std::wstring result;
    std::size_t pos = 0;
    while (pos < text.size()) {
        if (text[pos] != L'%') {
            result += text[pos++];
            continue;
        }
        const std::size_t nameStart = pos + 1;
        const std::size_t close = text.find(L'%', nameStart);
        const std::size_t nameEnd = close == std::wstring_view::npos ? text.size() : close;
        if (auto value = lookup(std::wstring(text.substr(nameStart, nameEnd - nameStart)))) {
            result += *value;
        }
        pos = close == std::wstring_view::npos ? text.size() : close + 1;
    }
    return result;
}

}  // namespace pm
