// MixedText: a text the program puts together from words of its own and texts that are not its
// own (item names, set captions, counts). The words stay apart from the rest, so the screen can
// show them in the language in force while every name shows as it stands, and the Japanese
// whole, which logs, set captions and files keep, is the same in both languages.
//
// Pieces are CP932 bytes. Plain C++; any thread.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// Gives a word of ours (CP932) as the screen shows it, in CP932.
using ShownWordOf = std::string (*)(const std::string& cp932);

class MixedText {
public:
    struct Piece {
        std::string text;
        bool word = false;  // a word of ours; else shown as it stands
        bool operator==(const Piece&) const = default;
    };

    MixedText() = default;

    // The same text where all of it is shown as it stands.
    static MixedText plainText(std::string_view cp932) { return MixedText().plain(cp932); }

    // Appends a word of ours.
    MixedText& word(std::string_view cp932);
    // Appends a text shown as it stands: a name, a number, a bracket.
    MixedText& plain(std::string_view cp932);
    MixedText& append(const MixedText& other);

    bool empty() const { return pieces_.empty(); }
    const std::vector<Piece>& pieces() const { return pieces_; }
    // The text whole, in Japanese: what logs and files keep.
    std::string japanese() const;
    // The text as the screen shows it: every word through `shown`, the rest as it stands; the
    // Japanese whole without `shown`.
    std::string shown(ShownWordOf shown) const;

    bool operator==(const MixedText&) const = default;

private:
    std::vector<Piece> pieces_;
};
