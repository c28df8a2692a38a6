#pragma once

#include <QByteArray>
#include <QSettings>

// The text of the program's profile file, in the notation of QSettings' ini
// files, so that profiles written before stay readable:
//
//     [General]                   keys of the profile's root
//     WState=@ByteArray(\x1\x0...)
//
//     [Settings]                  first level of a key's path
//     General\qtySymInProg=3      the rest of the path, "\" between levels
//     Chrms\folder_0="C:\\data, 2"
//
// Keys keep letters, digits, "_", "-" and "." as they are and write every
// other character as %XX (up to U+00FF) or %UXXXX. Values are UTF-8 text;
// a value with a blank at either end or a ",", ";" or "=" is quoted; "\" and
// '"' are escaped, control characters written as \xNN. A text that begins
// with "@" is written with "@@"; bytes as @ByteArray(...); no value as
// @Invalid(). Everything read is text, bytes or no value; numbers are text.
//
// The profile owns these two so that its writes can be checked (Profile).

QByteArray WriteIniText(const QSettings::SettingsMap& values);

// Never fails: lines that are neither a section nor "key=value", and keys
// that come out empty, are skipped. Unquoted commas are kept as text.
QSettings::SettingsMap ReadIniText(const QByteArray& text);
