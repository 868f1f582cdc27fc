// Conversions between bytes and Text.
//
// Names on this platform are bytes. They are decoded as UTF-8, and every byte that
// is not part of a well-formed UTF-8 sequence becomes the code point U+DC00 + byte
// (U+DC80..U+DCFF), so that EncodeName(DecodeName(b)) == b for every byte string b.
#pragma once

#include "engine/text.hpp"

#include <optional>
#include <string>
#include <string_view>

namespace quorvel {

// Lossless decoding of a name (file name, argument, line of standard input).
Text DecodeName(std::string_view bytes);
// Appends the decoded bytes to `out` (lets a caller reuse one buffer).
void DecodeNameInto(std::string_view bytes, Text& out);

// Inverse of DecodeName. Code points that no name can hold (other lone surrogates,
// values above U+10FFFF) are written as U+FFFD.
std::string EncodeName(TextView text);
void EncodeNameInto(TextView text, std::string& out);

// Strict decoding: the text when `bytes` is well-formed UTF-8, nothing otherwise.
std::optional<Text> DecodeUtf8Strict(std::string_view bytes);

// Windows-1252. Every byte has a code point; the five bytes the code page leaves
// undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the code points of the same value.
Text DecodeCp1252(std::string_view bytes);
// The Windows-1252 bytes of `text`, or nothing when a character has no byte there.
std::optional<std::string> EncodeCp1252(TextView text);

// Decoding of a text file written by this program or by an older copy of it:
// UTF-8 when the whole file is well-formed UTF-8 (a leading byte-order mark is
// dropped), Windows-1252 otherwise.
Text DecodeTextFile(std::string_view bytes);

} // namespace quorvel
