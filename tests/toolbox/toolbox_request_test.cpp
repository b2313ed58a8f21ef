// The component request blocks as the timecode requests build them, caught on
// their way to the component call (the link wraps CallComponent), and blocks
// made by hand.
#include "tests/fixture/fixture_writer.h"
#include "tests/toolbox/toolbox_session.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>

extern "C" ComponentResult __real_CallComponent(ComponentInstance instance, ComponentParameters* params);

namespace {

ComponentParameters g_seen;
ComponentInstance g_seenInstance;
int g_calls;

}  // namespace

extern "C" ComponentResult __wrap_CallComponent(ComponentInstance instance, ComponentParameters* params) {
    if (params) std::memcpy(&g_seen, params, sizeof g_seen);
    g_seenInstance = instance;
    ++g_calls;
    return __real_CallComponent(instance, params);
}

namespace {

ComponentParamSlot Slot(const void* p) { return reinterpret_cast<ComponentParamSlot>(p); }

struct OpenTimecode {
    TestFolder dir;
    MediaHandler handler = nullptr;
    OpenTimecode() {
        FixtureMovie m;
        m.tracks.push_back(FixtureTimecodeTrack(tcDropFrame, 30000, 1001, 30, 30000, 1800, 30030));
        std::string path = dir.File("tc.mov");
        EXPECT_TRUE(WriteFixtureFile(path, BuildFixtureMovie(m)));
        Movie movie = nullptr;
        EXPECT_EQ(OpenMoviePath(path, &movie), noErr);
        if (movie) handler = GetMediaHandler(NthMediaOfType(movie, TimeCodeMediaType));
    }
};

TEST(ToolboxRequest, BlockLayout) {
    EXPECT_EQ(offsetof(ComponentParameters, flags), 0u);
    EXPECT_EQ(offsetof(ComponentParameters, paramSize), 1u);
    EXPECT_EQ(offsetof(ComponentParameters, what), 2u);
    EXPECT_EQ(offsetof(ComponentParameters, params) % alignof(ComponentParamSlot), 0u);
    EXPECT_EQ(sizeof(ComponentParamSlot), sizeof(void*));
}

TEST(ToolboxRequest, TimecodeRequestsBuildTheirBlocks) {
    QtSession qt;
    OpenTimecode tc;
    ASSERT_NE(tc.handler, nullptr);
    int32_t frame = 0;
    TimeCodeDef def;
    TimeCodeRecord rec;
    g_calls = 0;
    ASSERT_EQ(TCGetTimeCodeAtTime(tc.handler, 1001, &frame, &def, &rec, nullptr), 0);
    ASSERT_EQ(g_calls, 1);
    EXPECT_EQ(g_seenInstance, tc.handler);  // the instance is the call's argument, not in the block
    EXPECT_EQ(g_seen.flags, 0);
    EXPECT_EQ(g_seen.paramSize, 5 * sizeof(ComponentParamSlot));
    EXPECT_EQ(g_seen.what, 0x0102);
    EXPECT_EQ(g_seen.params[0], 1001);
    EXPECT_EQ(g_seen.params[1], Slot(&frame));
    EXPECT_EQ(g_seen.params[2], Slot(&def));
    EXPECT_EQ(g_seen.params[3], Slot(&rec));
    EXPECT_EQ(g_seen.params[4], 0);

    unsigned char text[256];
    ASSERT_EQ(TCTimeCodeToString(tc.handler, &def, &rec, text), 0);
    EXPECT_EQ(g_calls, 2);
    EXPECT_EQ(g_seen.paramSize, 3 * sizeof(ComponentParamSlot));
    EXPECT_EQ(g_seen.what, 0x0103);
    EXPECT_EQ(g_seen.params[0], Slot(&def));
    EXPECT_EQ(g_seen.params[1], Slot(&rec));
    EXPECT_EQ(g_seen.params[2], Slot(text));
    EXPECT_EQ(std::string(reinterpret_cast<char*>(text + 1), text[0]), "00:01:00;03");
}

TEST(ToolboxRequest, HandMadeBlocks) {
    QtSession qt;
    OpenTimecode tc;
    ASSERT_NE(tc.handler, nullptr);
    int32_t frame = 0;
    TimeCodeDef def;
    TimeCodeRecord rec;
    ComponentParameters block;
    auto make = [&](int16_t what, int count) {
        std::memset(&block, 0, sizeof block);
        block.what = what;
        block.paramSize = uint8_t(count * sizeof(ComponentParamSlot));
        block.params[0] = 2002;
        block.params[1] = Slot(&frame);
        block.params[2] = Slot(&def);
        block.params[3] = Slot(&rec);
        block.params[4] = 0;
    };
    make(kTCGetTimeCodeAtTimeSelect, 5);
    ASSERT_EQ(CallComponent(tc.handler, &block), 0);
    EXPECT_EQ(rec.t.frames, 4);  // 1802 frames: 00:01:00;04
    make(0x0199, 5);
    EXPECT_NE(CallComponent(tc.handler, &block), 0);  // no such request
    make(kTCGetTimeCodeAtTimeSelect, 3);
    EXPECT_NE(CallComponent(tc.handler, &block), 0);  // too few parameters
    make(kTCGetTimeCodeAtTimeSelect, 5);
    EXPECT_NE(CallComponent(nullptr, &block), 0);     // no instance
    EXPECT_NE(CallComponent(tc.handler, nullptr), 0); // no block
}

}  // namespace
