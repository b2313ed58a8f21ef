// UTF-8 as RFC 3629 defines it, for the reports that must be valid UTF-8
// (JSON, HTML) while paths are whatever bytes the system handed over.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Length of the well-formed UTF-8 sequence at the start of bytes (1 to 4),
// or 0 when it is not one: a stray continuation byte, an overlong form, a
// surrogate, a code point above U+10FFFF, or a sequence cut short.
size_t Utf8SequenceLength(std::string_view bytes);

// U+FFFD REPLACEMENT CHARACTER, which stands for each byte that is not part
// of a well-formed sequence.
constexpr char kReplacementCharacter[] = "\xEF\xBF\xBD";

// Calls each(sequence) for every well-formed sequence of bytes in order, and
// each(kReplacementCharacter) in place of every byte outside one: the text a
// writer escapes is then always UTF-8.
template <typename Each>
void ForEachUtf8Sequence(std::string_view bytes, Each each) {
    while (!bytes.empty()) {
        const size_t length = Utf8SequenceLength(bytes);
        each(length == 0 ? std::string_view(kReplacementCharacter) : bytes.substr(0, length));
        bytes.remove_prefix(length == 0 ? 1 : length);
    }
}
