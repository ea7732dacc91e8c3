#include "Utf8.h"

namespace ks {

char32_t nextCodePoint(const std::string& text, std::size_t& at, bool& valid)
{
    const auto lead = static_cast<unsigned char>(text[at]);
    int length = lead < 0x80 ? 1 : (lead >> 5) == 0x6 ? 2 : (lead >> 4) == 0xE ? 3 : (lead >> 3) == 0x1E ? 4 : 0;
    char32_t code = length == 1 ? lead : length == 2 ? lead & 0x1F : length == 3 ? lead & 0x0F : lead & 0x07;
    valid = length > 0 && at + static_cast<std::size_t>(length) <= text.size();
    for (int i = 1; valid && i < length; i++)
    {
        const auto next = static_cast<unsigned char>(text[at + static_cast<std::size_t>(i)]);
        valid = (next & 0xC0) == 0x80;
        code = (code << 6) | (next & 0x3F);
    }
    // Overlong forms, surrogates and values past U+10FFFF are not characters.
    static const char32_t smallest[] = {0, 0, 0x80, 0x800, 0x10000};
    valid = valid && code >= smallest[length] && code <= 0x10FFFF && (code < 0xD800 || code > 0xDFFF);
    at += valid ? static_cast<std::size_t>(length) : 1;
    return valid ? code : REPLACEMENT_CHARACTER;
}

void appendUtf8(std::string& text, char32_t codePoint)
{
    const auto byte = [](char32_t value) {
        return static_cast<char>(static_cast<unsigned char>(value));
    };
    if (codePoint < 0x80)
        text += byte(codePoint);
    else if (codePoint < 0x800)
        text += {byte(0xC0 | (codePoint >> 6)), byte(0x80 | (codePoint & 0x3F))};
    else if (codePoint < 0x10000)
        text +=
            {byte(0xE0 | (codePoint >> 12)), byte(0x80 | ((codePoint >> 6) & 0x3F)), byte(0x80 | (codePoint & 0x3F))};
    else
        text += {byte(0xF0 | (codePoint >> 18)), byte(0x80 | ((codePoint >> 12) & 0x3F)),
                 byte(0x80 | ((codePoint >> 6) & 0x3F)), byte(0x80 | (codePoint & 0x3F))};
}

} // namespace ks
