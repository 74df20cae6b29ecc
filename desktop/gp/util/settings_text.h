#pragma once

#include <QRect>
#include <string>
#include <vector>

namespace GP {

// Integers joined by "," as the settings store keeps positions and sizes ("%d,%d,%d,%d").
std::string FormatIntegers(const std::vector<int>& values);

// Reads exactly count integers separated by "," (blanks around them allowed); false for any other text.
bool ParseIntegers(const std::string& text, std::size_t count, std::vector<int>& values);

// Whether a stored window rectangle is usable: positive size and every edge within ±32767.
bool IsReasonableRect(const QRect& rect);

}  // namespace GP
