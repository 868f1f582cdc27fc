// A file's size as the grid shows it.
#pragma once

#include "engine/text.hpp"

#include <cstdint>

namespace quorvel {

// The size as shown under a file name: "0 o", "1023 o", "1,5 Ko", "117,74 Mo",
// "3 Go" ("1,5 KB" in English: the unit is in the language of the messages). At
// most 5 significant digits and 2 decimals, trailing zeros dropped.
// Sizes of 1 Tio and more are counted in Go.
Text SizeText(std::int64_t size, char32_t decimalSeparator);
// The same with the decimal separator of the current C locale (localeconv).
Text SizeText(std::int64_t size);

} // namespace quorvel
