// Text helpers of the support layer: trimming, case folding, UTF-8 checks and Windows-1252
// decoding.
#pragma once

#include <string>
#include <string_view>

namespace ploxen {

/// Removes blanks and control characters (code 32 and below) at both ends.
std::string TrimText(std::string_view text);
/// True when `a` sorts before `b` comparing bytes with ASCII letters folded to lower case.
bool LessNoCase(std::string_view a, std::string_view b);
/// True when `bytes` is well-formed UTF-8 (no overlongs, no surrogates, at most U+10FFFF).
bool IsValidUtf8(std::string_view bytes);
/// Appends code point `cp` (at most U+10FFFF) encoded as UTF-8.
void AppendUtf8(std::string& out, char32_t cp);
/// Converts Windows-1252 bytes to UTF-8 (undefined codes 0x81, 0x8D, 0x8F, 0x90, 0x9D map to
/// U+FFFD).
std::string Cp1252ToUtf8(std::string_view bytes);
/// File text as UTF-8 without a byte order mark: kept when valid UTF-8, else read as Windows-1252.
std::string DecodeFileText(std::string_view bytes);
/// Converts UTF-8 text to Windows-1252 bytes for files read by single-byte programs; characters
/// the code page lacks become "?". Text that is not valid UTF-8 is returned unchanged.
std::string Utf8ToCp1252(std::string_view text);
/// Replaces every "\" by "/".
std::string NormaliseSeparators(std::string_view path);

}  // namespace ploxen
