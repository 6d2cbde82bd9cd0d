// Small engine helpers on stored text and numbers: CP932-aware contains and ends-with, three-way
// comparisons, the byte scrambling of texts stored in data files, and the 64-bit file size.
// Free functions without state; thread-safe.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// 0 when pattern occurs in text starting at a character start, else -1. An empty text never
// matches (not even an empty pattern); an empty pattern never matches a non-empty text.
int TextContains(const char* text, const char* pattern);
// 0 when text ends with suffix and the suffix starts at a character start (an empty suffix
// matches every text), else -1.
int TextEndsWith(const char* text, const char* suffix);

// -1, 0 or 1.
int CompareInt(std::int32_t a, std::int32_t b);
// 0 when neither a < b nor a > b (so NaN equals everything), 1 when a >= b otherwise, else -1.
int CompareDouble(double a, double b);

// In place, up to the terminating NUL. The tables are frozen: data files depend on them. Bytes
// 0x01-0x1F map to themselves, so scrambling never produces a NUL.
void ScrambleText(char* text);
void UnscrambleText(char* text);
// The same over exactly n bytes (NULs left as they are).
void ScrambleBytes(char* bytes, std::size_t n);
void UnscrambleBytes(char* bytes, std::size_t n);

// Size of an existing file, or -1 when it cannot be opened or sized.
std::int64_t FileSize64(const std::string& path);
