/// @file Utf8.h
/// Reading and writing UTF-8, shared by the display (drawUtf8) and the sprite loader
/// (loadUtf8Sprite), so that both take the same bytes as the same characters.
///
///     std::size_t at = 0;
///     bool valid = true;
///     char32_t c = ks::nextCodePoint(text, at, valid); // at is now past c
#pragma once

#include <cstddef>
#include <string>

namespace ks {

/// What stands for bytes that are no UTF-8 character.
const char32_t REPLACEMENT_CHARACTER = 0xFFFD;

/// The code point of UTF-8 text that starts at byte at (below text.size()), moving at past it.
/// Where the bytes there are no valid sequence (a stray continuation byte, a sequence cut
/// short, an overlong form, a surrogate, a value past U+10FFFF): valid is false, at moves by
/// one byte and the result is REPLACEMENT_CHARACTER.
char32_t nextCodePoint(const std::string& text, std::size_t& at, bool& valid);

/// Appends the UTF-8 bytes of codePoint (one to four) to text.
void appendUtf8(std::string& text, char32_t codePoint);

} // namespace ks
