// The primer pack (key 06 0e 2b 34 02 05 01 01 0d 01 02 01 01 05 01 00) maps
// the 2-byte local tags of the header metadata's sets to the 16-byte labels of
// their properties. Its value is a batch: count(4), item size(4) = 18, then
// count items of tag(2) + label(16).
//
// Static tags (below 0x8000) mean the same property in every file; dynamic
// tags (0x8000 and up) are assigned per file and only the primer says what
// they are. The reader knows each property it reads by its static tag, so a
// dynamic tag whose label is one of those properties is read as that tag.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "movie/byte_cursor.h"
#include "mxf/mxf_model.h"

struct MxfPrimerEntry {
    uint16_t tag = 0;        // a dynamic tag
    uint16_t staticTag = 0;  // the static tag of the same property
};

struct MxfPrimer {
    // Only the dynamic tags of properties the reader uses, sorted by tag.
    std::vector<MxfPrimerEntry> entries;
};

MxfStatus ReadPrimer(ByteCursor value, MxfPrimer* primer, std::string* problem);

// The static tag that `tag` stands for: itself below 0x8000; for a dynamic
// tag, the static tag of the property its label names, or 0 when the primer
// does not list it or the property is not one the reader uses.
uint16_t ResolveLocalTag(const MxfPrimer& primer, uint16_t tag);
