// Trimming of the timecode text the handler hands back.
#pragma once

#include <cstddef>
#include <string>

// The part of source from its first to its last byte that is not in set, both
// included; empty when source is empty or made only of set bytes. Bytes of set
// between those two stay. The zero byte is never in set (set is zero-terminated).
std::string TrimString(const std::string& source, const std::string& set);

// The same trim of the bytes [data, data + size) into out, reusing out's
// capacity: the walk calls it once per sample and must not allocate.
void TrimStringInto(const char* data, size_t size, const char* set, std::string& out);
