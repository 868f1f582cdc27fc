// How a parameter value is stored inside its placeholder.
//
// The four characters that shape a script line, "[", "]", "=" and "|", are stored
// as "%5B", "%5D", "%3D" and "%7C", so that a value may hold any character. A "%"
// is stored as "%25" only where it is followed by one of those five codes ("%25"
// included); every other "%" stays as it is, so that "100%" or a date pattern
// "%Y-%m" reads as it always has. Hexadecimal digits are read in either case.
//
// Decoding is the last step of reading a parameter: the cuts at "]", "[" and "="
// see the stored form, in which a value holds none of them.
#pragma once

#include "engine/text.hpp"

namespace quorvel {

// The stored form of a value as typed.
Text EncodeValue(TextView value);
// The value a stored form stands for. EncodeValue then DecodeValue gives the value
// back, whatever it holds.
Text DecodeValue(TextView stored);

} // namespace quorvel
