#include "common/text.h"

namespace pm {

std::string ToLatin1(std::wstring_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const uint32_t c = static_cast<uint32_t>(text[i]);
        if (c <= 0xFF) {
            out.push_back(static_cast<char>(c));
            continue;
        }
        out.push_back('?');
        // A UTF-16 surrogate pair stands for one character.
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size()) {
            const uint32_t next = static_cast<uint32_t>(text[i + 1]);
            if (next >= 0xDC00 && next <= 0xDFFF) ++i;
        }
    }
    return out;
}

std::string ToUtf16Le(std::wstring_view text) {
    std::string out;
    out.reserve(text.size() * 2);
    auto unit = [&out](uint32_t u) {
        out.push_back(static_cast<char>(u & 0xFF));
        out.push_back(static_cast<char>((u >> 8) & 0xFF));
    };
    for (wchar_t ch : text) {
        const uint32_t c = static_cast<uint32_t>(ch);
        if (c > 0xFFFF) {
            const uint32_t v = c - 0x10000;
            unit(0xD800 + (v >> 10));
            unit(0xDC00 + (v & 0x3FF));
        } else {
            unit(c);
        }
    }
    return out;
}

std::string WithCrLf(std::string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    for (char c : text) {
        if (c == '\n') out.push_back('\r');
        out.push_back(c);
    }
    return out;
}

std::wstring AsciiLower(std::wstring_view text) {
    std::wstring out(text);
    for (auto& c : out)
        if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
    return out;
}

std::wstring AsciiUpper(std::wstring_view text) {
    std::wstring out(text);
    for (auto& c : out)
        if (c >= L'a' && c <= L'z') c = static_cast<wchar_t>(c - L'a' + L'A');
    return out;
}

bool EqualsIgnoreAsciiCase(std::wstring_view a, std::wstring_view b) {
    return a.size() == b.size() && AsciiLower(a) == AsciiLower(b);
}

}  // namespace pm
