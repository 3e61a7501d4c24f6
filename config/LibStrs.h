#pragma once

// The framework's text, date, duration, number and code-page helpers, and
// the alert log. Texts are GBK byte strings with 1-based byte positions;
// no function here raises on bad input.

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

#include "platform/core/Variant.h"

namespace corvane {

// ------------------------------------------------------------------ text

// Pads on the left to args[0] bytes with args[1] (a character code; blank
// when absent). Text at least that long comes back unchanged.
std::string LPadStr(std::string_view text, std::initializer_list<int> args);
std::string RPadStr(std::string_view text, std::initializer_list<int> args);

// The n-th (1-based) field of text split at separator; "" past the last.
std::string GetToken(std::string_view text, std::string_view separator, int n);
// 0 for empty text, else the separator's occurrences + 1.
int TokenCount(std::string_view text, std::string_view separator);
// Cuts the head off text at the first separator; without one the head is
// the whole text and text becomes "".
std::string CutToken(std::string& text, std::string_view separator);

// Decimal digits, zero-padded to at least width digits.
std::string IntToZeroStr(int width, std::int64_t value);

// Replaces every occurrence of oldText by newText (the search restarts where
// a replacement may have made a new occurrence), then trims when asked.
std::string ReplaceStr(std::string_view text, std::string_view oldText, std::string_view newText, bool trim);

// The text as an SQL string literal: in single quotes, quotes doubled.
// Every literal the module writes into SQL goes through it (a GBK trail
// byte is never a quote, so doubling bytes is safe).
std::string QuotedStr(std::string_view text);

// Leading and trailing blanks and control characters removed.
std::string TrimStr(std::string_view text);

// The dialog caption of a button name ("Yes" -> "是(&Y)"); other names as given.
std::string ButtonCaption(std::string_view buttonName);

// ---------------------------------------------------------------- dates
// Date-format types: 1 y/m/d, 2 m/d/y, 3 d/m/y, 4 and 5 era year (year -
// 1911) with at least two and three digits.

std::string DateToFmtStr(int type, std::string_view separator, double date);
std::string DateTimeToFmtStr(int type, std::string_view separator, double date);
double FmtStrToDate(std::string_view text, int type, std::string_view separator);
std::string FmtStrToStr8(std::string_view text, int type, std::string_view separator);
double Str8ToDate(std::string_view text);
double Str17ToDateTime(std::string_view text);
bool IsValidDateStr(std::string_view text);

// ------------------------------------------------------------ durations

// [total seconds, text] of a + sign * b for 'HHHH:MM:SS' texts; the default
// [0, "000:00:00"] for anything malformed.
Variant AddTimeStr(std::string_view a, std::string_view b, int sign);
std::string SecondsToTimeStr(std::int64_t seconds);

// ----------------------------------------------------- numbers, variants

// Rounds the decimal value (15 significant digits) half away from zero.
double RoundFloat(int decimals, double value);
// -1, 0 or 1; values closer than 1e-10 are equal.
int CompareFloat(double a, double b);
Variant IIF(bool condition, const Variant& whenTrue, const Variant& whenFalse);
bool VarIsNullOrEmpty(const Variant& value);
bool IsLocalHost(std::string_view address);

// ------------------------------------------------------------ code pages

std::string WideToCodePage(std::u16string_view text, int codePage);
std::u16string CodePageToWide(std::string_view bytes, int codePage);
// Every string of the variant (nested one-dimensional arrays included)
// converted; other values unchanged.
Variant VarCodePageToWide(const Variant& value, int codePage);
Variant VarWideToCodePage(const Variant& value, int codePage);

// ------------------------------------------------------------- alert log

// Appends "[time] message" to <install>\Log\Alert_<source>_<period stamp>.log;
// false on any failure.
bool WriteAlertLog(std::string_view source, std::string_view message, std::string_view period = "D");
// The alert log file a message of this source and period goes to today.
std::string AlertLogFileName(std::string_view source, std::string_view period = "D");
// The installation folder from the registry ("ClientPath", else "ServerPath").
std::string GetTessaroPath();

}  // namespace corvane
