#include "app/mixed_text.h"

MixedText& MixedText::word(std::string_view cp932) {
    if (!cp932.empty()) pieces_.push_back({std::string(cp932), true});
    return *this;
}

MixedText& MixedText::plain(std::string_view cp932) {
    if (cp932.empty()) return *this;
    // Neighbouring plain texts are one piece: nothing tells them apart on the screen.
    if (!pieces_.empty() && !pieces_.back().word)
        pieces_.back().text += cp932;
    else
        pieces_.push_back({std::string(cp932), false});
    return *this;
}

MixedText& MixedText::append(const MixedText& other) {
    for (const Piece& piece : other.pieces_)
        piece.word ? word(piece.text) : plain(piece.text);
    return *this;
}

std::string MixedText::japanese() const {
    std::string whole;
    for (const Piece& piece : pieces_)
        whole += piece.text;
    return whole;
}

std::string MixedText::shown(ShownWordOf shown) const {
    if (!shown) return japanese();
    std::string whole;
    for (const Piece& piece : pieces_)
        whole += piece.word ? shown(piece.text) : piece.text;
    return whole;
}
