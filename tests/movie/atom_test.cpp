#include <gtest/gtest.h>

#include <string>

#include "movie/atom.h"
#include "movie/byte_cursor.h"

namespace {

std::string BE32(uint32_t v) {
    return std::string{char(v >> 24), char(v >> 16), char(v >> 8), char(v)};
}
std::string Atom(const char* type, const std::string& body) { return BE32(uint32_t(8 + body.size())) + type + body; }

ByteCursor CursorOf(const std::string& s) { return MakeCursor(s.data(), s.size()); }

TEST(ByteCursor, ReadsStopAtTheEndInsteadOfRunningPast) {
    std::string bytes = "\x01\x02\x03\x04\x05";
    ByteCursor c = CursorOf(bytes);
    uint32_t v32;
    uint64_t v64;
    EXPECT_FALSE(ReadU64(&c, &v64));
    EXPECT_EQ(c.pos, 0u);  // a failed read consumes nothing
    ASSERT_TRUE(ReadU32(&c, &v32));
    EXPECT_EQ(v32, 0x01020304u);
    EXPECT_FALSE(ReadU32(&c, &v32));
    EXPECT_FALSE(Skip(&c, 2));
    EXPECT_TRUE(Skip(&c, 1));
    EXPECT_EQ(Remaining(c), 0u);
}

TEST(ByteCursor, EntryCountsThatOverflowOrExceedTheRestDoNotFit) {
    std::string bytes(16, '\0');
    ByteCursor c = CursorOf(bytes);
    EXPECT_TRUE(FitsEntries(c, 2, 8));
    EXPECT_FALSE(FitsEntries(c, 3, 8));
    // 2^61 x 8 wraps to 0 in 64 bits; it must still be refused.
    EXPECT_FALSE(FitsEntries(c, uint64_t(1) << 61, 8));
    EXPECT_FALSE(FitsEntries(c, UINT64_MAX, 12));
}

TEST(AtomCursor, ChildrenOf32BitAnd64BitAndToTheEndSizes) {
    std::string large = BE32(1) + "abcd" + std::string(4, '\0') + BE32(16 + 3) + "xyz";
    std::string bytes = Atom("one ", "12") + large + BE32(0) + "last" + "tail!";
    ByteCursor parent = CursorOf(bytes);
    AtomHeader h;
    ByteCursor body;
    ASSERT_EQ(NextChildAtom(&parent, &h, &body), AtomStep::Atom);
    EXPECT_EQ(h.type, FourCC("one "));
    EXPECT_EQ(body.size, 2u);
    ASSERT_EQ(NextChildAtom(&parent, &h, &body), AtomStep::Atom);
    EXPECT_EQ(h.type, FourCC("abcd"));
    EXPECT_EQ(h.headerSize, 16u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(body.data), body.size), "xyz");
    ASSERT_EQ(NextChildAtom(&parent, &h, &body), AtomStep::Atom);
    EXPECT_EQ(h.type, FourCC("last"));
    EXPECT_EQ(body.size, 5u);  // size 0 runs to the end of the parent
    EXPECT_EQ(NextChildAtom(&parent, &h, &body), AtomStep::End);
}

TEST(AtomCursor, DamagedHeadersAreRefused) {
    AtomHeader h;
    ByteCursor body;
    struct Case {
        const char* what;
        std::string bytes;
    } cases[] = {
        {"child larger than its parent", BE32(100) + "big " + "short"},
        {"size below the header", BE32(7) + "tiny" + std::string(8, '\0')},
        {"64-bit size below its header", BE32(1) + "huge" + BE32(0) + BE32(15) + std::string(8, '\0')},
        {"64-bit size beyond the parent", BE32(1) + "huge" + BE32(0xFFFFFFFF) + BE32(0xFFFFFFF0)},
        {"64-bit size cut off", BE32(1) + "huge" + "\0\0"},
    };
    for (const Case& c : cases) {
        ByteCursor parent = CursorOf(c.bytes);
        EXPECT_EQ(NextChildAtom(&parent, &h, &body), AtomStep::Damaged) << c.what;
    }
}

TEST(AtomCursor, FewerThanEightTrailingBytesEndTheContainer) {
    // QuickTime containers may close with a 32-bit zero.
    std::string bytes = Atom("free", "") + BE32(0);
    ByteCursor parent = CursorOf(bytes);
    AtomHeader h;
    ByteCursor body;
    ASSERT_EQ(NextChildAtom(&parent, &h, &body), AtomStep::Atom);
    EXPECT_EQ(NextChildAtom(&parent, &h, &body), AtomStep::End);
    EXPECT_EQ(Remaining(parent), 0u);
}

}  // namespace
