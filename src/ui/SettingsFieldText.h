#pragma once

#include <QString>

// Text of the numeric fields of the settings pages. Numbers are written with
// "." whatever the machine's locale, and read with "." or ",".

// The shortest text that reads back as exactly the same value, without an
// exponent, so a stored value shows unrounded.
QString FormatFieldNumber(double value);
// The whole text (blanks around it allowed) must be a whole number, not
// negative.
bool ParseFieldCount(const QString& text, int* value);
// The whole text (blanks around it allowed) must be a finite decimal number,
// with a decimal point or comma, not both.
bool ParseFieldNumber(const QString& text, double* value);
// The message for a refused field: its caption (and group), then the reason.
QString FieldMessage(const QString& caption, const QString& group, const QString& reason);

// Why a number field is refused.
QString EnterAnIntegerText();
QString EnterANumberText();
