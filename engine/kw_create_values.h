// The value rules of the builder: which field texts are values of an item's type and which
// value they are. A field that is empty is blank; a non-empty field that breaks its type's rule
// is an error (dictionary position 0); everything else is a value.
//
// Numbers are read independently of the locale. Free functions without state; thread-safe.
#pragma once

#include <cstdint>
#include <string_view>

// Integer items: digits and a leading minus only, value within -2,147,483,647..2,147,483,647
// (-2,147,483,648 is refused). A lone "-" is the value 0. 0 when valid, else -1.
int CheckIntText(std::string_view text);
// The same rule, giving the value. false for an error.
bool ReadIntText(std::string_view text, std::int32_t& value);

// Float items, the syntax check: at most one point, at most one exponent letter E or e, a sign
// only before any digit or sign of the mantissa and directly after the exponent letter, digits
// anywhere. "1.5e-3", "-.5", "." and "e" pass; "1-" does not. 0 when it passes, else -1.
int CheckDoubleText(std::string_view text);
// The value of a Float field: the check above, and then the text must be a number: a mantissa
// with at least one digit ("." and "e" alone are errors), an optional exponent whose digits may
// be missing ("5e" is 5), nothing after the exponent. A lone "-" is the value 0. A number too
// large for a double is an error; one too small is 0. false for an error.
bool ReadDoubleText(std::string_view text, double& value);

// Date items: "y/m/d" with exactly two "/", at most 256 bytes; each part's leading digits are
// its number (trailing non-digits ignored, an empty part is 0); year 1000-9999, a real day of
// the proleptic Gregorian calendar. yyyymmdd, or -1.
std::int32_t ParseDate(std::string_view text);
// Time items: "h:m:s" with exactly two ":", at most 256 bytes, parts read like the date's;
// 0-23, 0-59, 0-59. hhmmss, or -1.
std::int32_t ParseTime(std::string_view text);
