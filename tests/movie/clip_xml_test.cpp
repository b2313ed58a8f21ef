// The clip XML's timecode table from documents as cameras write them and as
// a hostile file might.
#include <gtest/gtest.h>

#include <string>

#include "movie/clip_xml.h"

namespace {

const std::string kTable =
    "<LtcChangeTable tcFps=\"30\" halfStep=\"false\">"
    "<LtcChange frameCount=\"389\" value=\"66342901\" status=\"end\"/>"
    "<LtcChange frameCount=\"0\" value=\"67212901\" status=\"increment\"/></LtcChangeTable>";

TEST(ClipXml, TheTableOfNonRealTimeMetaDocuments) {
    struct Case {
        const char* name;
        std::string text;
        bool usable;
        int tcFps = 0;
        bool halfStep = false, dropFrame = false, secondOfPair = false;
        TimecodeLabel start{};
    };
    const TimecodeLabel a6700{1, 29, 21, 27};
    const Case cases[] = {
        {"a6700 29.97p", "<?xml version=\"1.0\"?><NonRealTimeMeta>" + kTable + "</NonRealTimeMeta>", true, 30, false,
         true, false, a6700},
        {"prefixes, reordered attributes, a BOM and a comment",
         "\xEF\xBB\xBF<!-- <LtcChangeTable tcFps=\"99\"> --><nrt:NonRealTimeMeta><nrt:LtcChangeTable "
         "halfStep='true' tcFps='30'><nrt:LtcChange value=\"54830000\" frameCount=\"0\"/>"
         "</nrt:LtcChangeTable></nrt:NonRealTimeMeta>",
         true, 30, true, true, true, TimecodeLabel{0, 0, 3, 14}},
        {"entities are never expanded",
         "<!DOCTYPE x [<!ENTITY t \"" + kTable + "\">]><NonRealTimeMeta>&t;</NonRealTimeMeta>", false},
        {"another root", "<Other>" + kTable + "</Other>", false},
        {"no table", "<NonRealTimeMeta><Duration value=\"390\"/></NonRealTimeMeta>", false},
        {"no frame 0", "<NonRealTimeMeta><LtcChangeTable tcFps=\"25\"><LtcChange frameCount=\"1\" value=\"00000010\"/>"
                       "</LtcChangeTable></NonRealTimeMeta>", false},
        {"a digit out of range", "<NonRealTimeMeta><LtcChangeTable tcFps=\"25\"><LtcChange frameCount=\"0\" "
                                 "value=\"0a000010\"/></LtcChangeTable></NonRealTimeMeta>", false},
        {"tcFps not a count", "<NonRealTimeMeta><LtcChangeTable tcFps=\"0\"><LtcChange frameCount=\"0\" "
                              "value=\"00000010\"/></LtcChangeTable></NonRealTimeMeta>", false},
        {"cut inside the table", "<NonRealTimeMeta>" + kTable.substr(0, 60), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ClipXml xml;
        ASSERT_EQ(ParseClipXml(c.text, &xml), c.usable);
        if (!c.usable) continue;
        EXPECT_EQ(xml.tcFps, c.tcFps);
        EXPECT_EQ(xml.halfStep, c.halfStep);
        EXPECT_EQ(xml.start.dropFrame, c.dropFrame);
        EXPECT_EQ(xml.start.secondsFlag, c.secondOfPair);
        EXPECT_EQ(std::string({char(xml.start.hours), char(xml.start.minutes), char(xml.start.seconds),
                               char(xml.start.frames)}),
                  std::string({char(c.start.hours), char(c.start.minutes), char(c.start.seconds),
                               char(c.start.frames)}));
    }
}

}  // namespace
