#pragma once

#include <QString>

// Reads a decimal number from the start of a text, as far as it goes, the way
// stored settings have always been read: leading blanks skipped, "12abc"
// gives 12, a text without a leading number gives 0. The decimal sign is "."
// or ",", whatever the machine's locale; a value too large for a double gives 0.
double ParseLeadingDouble(const QString& text);
