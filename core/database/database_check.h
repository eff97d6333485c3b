#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/base/counted_examples.h"

namespace haojian {

class LocaleCollation;

// What a segment database holds, read by the line rule as the program reads it, and the lines
// that would give a number 未知 or a wrong field.
struct DatabaseCheck {
    struct Example {
        std::size_t line;  // 1-based
        std::string text;  // the line's bytes
    };
    // Lines of one kind: how many, and the first few with their line numbers.
    struct Finding : CountedExamples<Example> {
        void Add(std::size_t line, std::string_view text) {
            CountedExamples::Add([&] { return Example{line, std::string(text)}; });
        }
    };

    std::size_t lines = 0;
    // Lines that give a number its province, city (or province alone, by design) and card type.
    std::size_t sound = 0;
    // Lines in use, by their first three digits 130..199; lines in use of any other beginning.
    std::array<std::size_t, 70> per_block{};
    std::size_t other_blocks = 0;

    Finding empty;             // match no number
    Finding bad_prefix;        // the first seven bytes are not seven digits
    Finding repeated;          // an earlier line has the same prefix: never used
    Finding short_lines;       // fewer than 12 bytes: codes or card digit cut short
    Finding unknown_province;  // positions 8-9 name no province of the table
    Finding unknown_city;      // positions 8-11 name no city of the table (and are no xx99)
    Finding province_level;    // city code xx99: the province is known, the city is not
    Finding unknown_card;      // position 12 is none of the card digits 1-4
    // A NUL byte ends the text: its offset, and how many bytes stand after it unread.
    std::optional<std::uint64_t> nul_offset;
    std::uint64_t bytes_after_nul = 0;

    // True when some line would give a number 未知 or a wrong field: a bad prefix, a short
    // line, a code in no table, a card byte other than 1-4, or lines cut off by a NUL byte.
    // Province-level lines are written so on purpose and do not count; neither do empty or
    // repeated lines, which no look-up uses. A database without a single sound line (an empty
    // one among them) answers no number and is faulty too.
    bool Faulty() const;
};

// Checks the bytes of a segment database file.
DatabaseCheck CheckSegmentDatabase(std::string_view bytes, const LocaleCollation& collation);

}  // namespace haojian
