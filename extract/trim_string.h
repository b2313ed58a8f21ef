// Trimming of the timecode text the handler hands back.
#pragma once

#include <string_view>

// The part of source from its first to its last byte that is not in set, both
// included; empty when source is empty or made only of set bytes. Bytes of set
// between those two stay. A view into source: the walk trims once per sample
// and copies the result into its own reused string.
std::string_view TrimString(std::string_view source, std::string_view set);
