#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tolvane::platform {

// Whether the bytes are well-formed UTF-8 (no overlong forms, no surrogates,
// nothing above U+10FFFF).
bool isValidUtf8(std::string_view bytes);

// Shift-JIS as Windows writes it (code page 932) to UTF-8. A byte sequence
// that is not CP932 becomes U+FFFD; nothing else is dropped.
std::string shiftJisToUtf8(std::string_view bytes);

// The text of a file the program reads, decided line by line: a line that is
// valid UTF-8 stays as it is, any other is read as CP932. A leading
// byte-order mark is dropped; line ends are kept.
std::string decodeFileText(std::string_view bytes);

// The byte length of the first maxCharacters characters of a UTF-8 text, so a
// cut never splits a character.
std::size_t utf8PrefixBytes(std::string_view text, std::size_t maxCharacters);

} // namespace tolvane::platform
