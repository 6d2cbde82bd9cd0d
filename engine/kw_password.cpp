// Scrambling and checking of the data-file password field.
#include "engine/kw_password.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <random>

#include "engine/kw_text.h"

namespace {

// Field position i holds plain byte kShuffle[i]. Frozen: every protected file depends on it.
constexpr std::array<int, KW_PASSWORD_FIELD> kShuffle = {7, 12, 3, 15, 0,  9, 5,  14,
                                                         1, 11, 6, 2,  13, 4, 10, 8};

std::string randomFiller() {
    std::random_device device;
    const auto now = std::chrono::steady_clock::now().time_since_epoch().count();
    std::mt19937 generator(device() ^ static_cast<std::uint32_t>(now));
    std::uniform_int_distribution<std::int32_t> draw(0, std::numeric_limits<std::int32_t>::max());
    std::string filler;
    for (int i = 0; i < 20 && filler.size() <= KW_PASSWORD_FIELD; ++i) {
        char digits[16];
        const auto end = std::to_chars(digits, digits + sizeof digits, draw(generator)).ptr;
        filler.append(digits, end);
    }
    return filler;
}

std::string_view untilNul(std::string_view text) {
    return text.substr(0, text.find('\0'));
}

}  // namespace

KW_passwordField ScramblePassword(std::string_view password) {
    KW_passwordField field{};
    if (password.empty()) return field;
    std::string plain(password.substr(0, KW_PASSWORD_FIELD));
    plain += randomFiller();
    char shuffled[KW_PASSWORD_FIELD];
    for (int i = 0; i < KW_PASSWORD_FIELD; ++i)
        shuffled[i] = plain[kShuffle[i]];
    ScrambleBytes(shuffled, sizeof shuffled);
    std::copy(std::begin(shuffled), std::end(shuffled), field.begin());
    return field;
}

std::string UnscramblePassword(const KW_passwordField& field) {
    if (field[0] == 0) return {};
    char shuffled[KW_PASSWORD_FIELD];
    std::copy(field.begin(), field.end(), shuffled);
    UnscrambleBytes(shuffled, sizeof shuffled);
    std::string plain(KW_PASSWORD_FIELD, '\0');
    for (int i = 0; i < KW_PASSWORD_FIELD; ++i) {
        // Bytes below 0x20 are outside the table: no stored byte can have come from them.
        const bool inTable = field[i] >= 0x20;
        plain[kShuffle[i]] = inTable ? shuffled[i] : '\0';
    }
    return plain;
}

namespace kw {

std::int32_t checkPasswordText(std::string_view password) {
    if (password.size() > KW_PASSWORD_FIELD) return KW_ERR_ARGUMENT;
    const bool printable = std::all_of(password.begin(), password.end(), [](char c) {
        return static_cast<unsigned char>(c) >= 0x20;
    });
    return printable ? 0 : KW_ERR_ARGUMENT;
}

bool passwordMatches(const KW_passwordField& field, std::int32_t storedLength,
                     std::string_view given) {
    if (field[0] == 0) return true;
    if (storedLength < 0) return false;
    const std::string plain = UnscramblePassword(field);
    const auto kept = static_cast<std::size_t>(std::min<std::int32_t>(storedLength, 16));
    const std::string_view stored = untilNul(std::string_view(plain).substr(0, kept));
    given = untilNul(given);
    if (storedLength <= KW_PASSWORD_FIELD) return given == stored;
    return given.size() == static_cast<std::size_t>(storedLength) &&
           stored.size() == KW_PASSWORD_FIELD && given.substr(0, KW_PASSWORD_FIELD) == stored;
}

}  // namespace kw
