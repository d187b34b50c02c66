#ifndef COGNEXA_TOOLS_TEXT_POSITIONS_CLASS_H
#define COGNEXA_TOOLS_TEXT_POSITIONS_CLASS_H

#include <cstddef>
#include <string>
#include <vector>

// Converts between byte offsets of a text and editor positions: a 0-based line and a column
// counted in UTF-16 code units, as the editor protocol counts them. Lines end at "\n" (a "\r"
// before it belongs to the line). A byte that is not part of valid UTF-8 counts as one unit,
// as an editor shows it after decoding.
class TextPositionsClass {
public:
    struct PositionStruct {
        int Line = 0;
        int Character = 0;
    };

    explicit TextPositionsClass(const std::string& text);

    PositionStruct Position_Of(std::size_t offset) const;
    // The byte offset of a position; a column past the line's end gives the line's end, a line
    // past the text's end the text's end.
    std::size_t Offset_Of(const PositionStruct& position) const;

    // Bytes in the UTF-8 sequence that starts at offset (1 for an invalid byte).
    std::size_t Sequence_Length(std::size_t offset) const;

private:
    // UTF-16 units of the sequence at offset, with its length in bytes.
    int Units_At(std::size_t offset, std::size_t& length) const;
    std::size_t Line_End(std::size_t line) const;

    const std::string& Text;
    std::vector<std::size_t> Line_Starts;
};

#endif
