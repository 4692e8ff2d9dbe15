#pragma once

#include <QString>

// Numbers as the program reads them out of text boxes and settings lines.
namespace NumericText {

// The leading decimal number of the text, blanks ignored; 0 when there is none.
// "  14025.5 kHz" gives 14025.5, "-12" gives -12, "abc" gives 0.
double numericValue(const QString& text);

// numericValue() as a whole number, truncated and clamped to the int range.
int integerValue(const QString& text);

// The shortest decimal form: no sign for positive values, no blanks, no trailing zeros
// after the point, no point for whole numbers (14000, 14000.5, 14000.25).
QString shortestDecimal(double value);

// An integer line of a settings file: a blank before a value that is not negative.
QString integerLine(int value);

} // namespace NumericText
