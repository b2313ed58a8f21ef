#include "tests/win/end_to_end_cases.h"

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "tests/fixture/mxf_fixture.h"
#include "tests/fixture/sony_movie.h"
#include "tests/fuzz/compressed_header.h"

namespace fs = std::filesystem;

namespace {

constexpr int kFailed = 255;  // exit status -1
constexpr uint32_t kOneHour = 30 * 60 * 60;

// ---- Movies -------------------------------------------------------------------

FixtureMovie PlainMovie(uint32_t count, uint32_t firstFrame) {
    FixtureMovie movie;
    movie.tracks.push_back(FixtureVideoTrack(30000, count, 1001));
    movie.tracks.push_back(
        FixtureTimecodeTrack(0, 30000, 1001, 30, 30000, int32_t(firstFrame), 1001 * (count ? count : 1)));
    return movie;
}

FixtureMovie DropFrameMovie(uint32_t count) {
    FixtureMovie movie = PlainMovie(count, 1790);  // from 00:00:59;20
    movie.tracks[1].tcFlags = 0x1 | 0x2;
    return movie;
}

FixtureTrack SoundTrack() {
    FixtureTrack sound = FixtureVideoTrack(48000, 10, 1024);
    sound.mediaType = FixtureCode("soun");
    return sound;
}

// Timecode sample k of `count` in chunk k; the chunk offsets at `badChunks`
// (0-based) point past the end of the file.
std::string UnreadableSamples(FixtureMovie movie, const std::vector<int>& badChunks) {
    movie.moovFirst = true;
    movie.tracks[1].tcSamplesPerChunk = 1;
    std::string bytes = BuildFixtureMovie(movie);
    const size_t stco = FixtureAtomOffset(bytes, "moov/trak[2]/mdia/minf/stbl/stco");
    for (int k : badChunks) PutBE32(bytes, stco + 16 + 4 * size_t(k), 0x7FFFFF00);
    return bytes;
}

// ---- Entries and cases ------------------------------------------------------------

CaseEntry Movie(const std::string& path, const FixtureMovie& movie,
                CaseEntry::Kind kind = CaseEntry::Fixture) {
    CaseEntry e;
    e.kind = kind;
    e.path = path;
    e.fixture = movie;
    return e;
}

CaseEntry Ffmpeg(const std::string& path, const std::string& rate, const std::string& timecode,
                 double seconds = 2, const std::string& extraArgs = "") {
    CaseEntry e;
    e.kind = CaseEntry::Ffmpeg;
    e.path = path;
    e.ffmpeg.rate = rate;
    e.ffmpeg.timecode = timecode;
    e.ffmpeg.seconds = seconds;
    e.ffmpeg.extraArgs = extraArgs;
    return e;
}

CaseEntry Bytes(const std::string& path, const std::string& bytes) {
    CaseEntry e;
    e.kind = CaseEntry::Bytes;
    e.path = path;
    e.bytes = bytes;
    return e;
}

CaseEntry Folder(const std::string& path) {
    CaseEntry e;
    e.kind = CaseEntry::Folder;
    e.path = path;
    return e;
}

// A run that writes `newFiles` files (the four by default), exit status 0.
EndToEndCase Run(const std::string& name, std::vector<CaseEntry> entries,
                 std::vector<std::string> args, const std::string& outStart = "",
                 size_t newFiles = 4) {
    EndToEndCase c;
    c.name = name;
    c.entries = std::move(entries);
    c.args = std::move(args);
    c.nativeOutStart = outStart;
    c.nativeNewFiles = newFiles;
    return c;
}

// A run that fails with exit status -1.
EndToEndCase Failure(const std::string& name, std::vector<CaseEntry> entries,
                     std::vector<std::string> args, const std::string& outStart,
                     size_t newFiles = 0) {
    EndToEndCase c = Run(name, std::move(entries), std::move(args), outStart, newFiles);
    c.nativeExit = kFailed;
    return c;
}

// The same run typed another way on Windows.
EndToEndCase TypedOnWindows(EndToEndCase c, std::vector<std::string> windowsArgs,
                            std::vector<std::pair<std::string, std::string>> windowsText = {}) {
    c.windowsArgs = std::move(windowsArgs);
    c.windowsText = std::move(windowsText);
    return c;
}

std::vector<EndToEndCase> MakeCases() {
    std::vector<EndToEndCase> cases;
    const FixtureMovie plain = PlainMovie(3, kOneHour);

    // ---- Movies that give the four files ----
    cases.push_back(Run("plain_one_hour", {Movie("take1.mov", plain)}, {"take1.mov"}));
    {
        FixtureMovie m = DropFrameMovie(2000);
        m.tracks[0].co64 = m.tracks[1].co64 = true;
        m.largeSizes = true;
        m.moovFirst = true;
        cases.push_back(Run("drop_frame_large_atoms_co64", {Movie("drop.mov", m)}, {"drop.mov"}));
    }
    {
        FixtureMovie m;
        m.tracks.push_back(FixtureVideoTrack(25000, 120, 1000));  // 25 fps
        FixtureTrack tc = FixtureTimecodeTrack(0, 25, 1, 25, 600, 90000, 24 * 60);
        tc.tcSamples.push_back({180000, 24 * 60});  // a jump after two seconds
        tc.tcSamplesPerChunk = 1;
        m.tracks.push_back(tc);
        m.timecodeData = FixtureTimecodeData::First;
        cases.push_back(Run("own_time_scale_several_samples", {Movie("scales.mov", m)}, {"scales.mov"}));
    }
    {
        FixtureMovie counter = PlainMovie(40, 100);
        counter.tracks[1].tcFlags = 0x8;
        cases.push_back(Run("counter_mode", {Movie("counter.mov", counter)}, {"counter.mov"}));
        FixtureMovie negative = PlainMovie(40, uint32_t(-15));
        negative.tracks[1].tcFlags = 0x4;
        cases.push_back(Run("negative_times", {Movie("negative.mov", negative)}, {"negative.mov"}));
    }
    cases.push_back(Run("video_without_samples", {Movie("empty.mov", PlainMovie(0, 0))}, {"empty.mov"}, "", 1));
    cases.push_back(Run("compressed_movie_header",
                        {Movie("packed.mov", DropFrameMovie(300), CaseEntry::CompressedHeader)},
                        {"packed.mov"}));
    {
        // The timecode sample and the movie header beyond 4 GiB, in a sparse file.
        FixtureMovie m;
        m.tracks.push_back(FixtureVideoTrack(25, 50, 1));
        m.tracks.push_back(FixtureTimecodeTrack(0, 25, 1, 25, 25, 90000, 1000));
        m.tracks[1].co64 = true;
        m.gapBeforeTimecodeData = (uint64_t(1) << 32) + 12345;
        cases.push_back(Run("beyond_4_gib_co64", {Movie("big.mov", m)}, {"big.mov"}));
    }

    // ---- ffmpeg-made movies ----
    cases.push_back(Run("ffmpeg_pal", {Ffmpeg("pal.mov", "25", "10:00:00:00")}, {"pal.mov"}));
    cases.push_back(Run("ffmpeg_ntsc_drop_frame", {Ffmpeg("ntsc drop.mov", "30000/1001", "01:00:00;00")},
                        {"ntsc drop.mov"}));
    cases.push_back(Run("ffmpeg_film_past_midnight", {Ffmpeg("film.mov", "24", "23:59:59:12")}, {"film.mov"}));
    cases.push_back(Run("ffmpeg_59_94_drop_frame", {Ffmpeg("fast.mov", "60000/1001", "00:00:59;50")},
                        {"fast.mov"}));
    cases.push_back(Run("ffmpeg_fragmented",
                        {Ffmpeg("frag.mov", "25", "00:00:10:00", 1, "-g 3 -movflags +frag_keyframe+empty_moov")},
                        {"frag.mov"}));

    // ---- Options ----
    {
        // H.264 with B-frames and no edit list: the cues wait for the first frame.
        EndToEndCase c = Run("srt_option",
                             {Ffmpeg("b frames.mov", "30000/1001", "00:00:59;00", 2, "-c:v libx264 -use_editlist 0")},
                             {"--srt", "b frames.mov"}, "", 5);
        c.quickTimeOut = "Error: --srt needs the LumarestTC.exe for 64-bit Windows; this one reads movies with "
                         "QuickTime, which cannot say when each frame is shown\n";
        cases.push_back(c);
    }
    // ---- Timecode outside a tmcd track ----
    cases.push_back(Run("sony_rtmd",
                        {Bytes("C0001.MP4", BuildFixtureMovie(SonyMovie(30000, 1001, {"00:00:59;29", "00:01:00;02"},
                                                                        SonyXml(30, false, "00:00:59;29"))))},
                        {"C0001.MP4"}));
    {
        MxfFixture mxf;
        mxf.materialTimecode = {{10 * 3600 * 25}};
        mxf.systemStart = 10 * 3600 * 25;
        EndToEndCase c = Run("mxf_op1a", {Bytes("take.mxf", BuildMxfFixture(mxf))}, {"take.mxf"});
        c.quickTimeOut = "Error: QuickTime cannot read MXF files; the LumarestTC.exe for 64-bit Windows reads them\n take.mxf";
        cases.push_back(c);
    }
    cases.push_back(Run("version_option", {}, {"--version", "take1.mov"}, "LumarestTC ", 0));
    cases.push_back(Run("end_of_options", {Movie("--take1.mov", plain)}, {"--", "--take1.mov"}));
    cases.push_back(Failure("unknown_option", {Movie("take1.mov", plain)}, {"--bogus", "take1.mov"},
                            "Error: unknown option --bogus\n"));

    // ---- Failures (the README's table) ----
    cases.push_back(Failure("no_argument", {}, {}, "\nUsage:\n"));
    cases.push_back(Failure("path_over_255_bytes", {}, {std::string(246, 'f') + "/take1.mov"},
                            "Error: Movie path is longer than 255 characters\n"));
    cases.push_back(Failure("path_with_double_quote", {}, {"ta\"ke1.mov"},
                            "Error: Movie path cannot be written into an AviSynth script\n"));
    cases.push_back(Failure("path_with_line_break", {}, {"take\n1.mov"},
                            "Error: Movie path cannot be written into an AviSynth script\n"));
    cases.push_back(Failure("missing_file", {}, {"no such take.mov"}, "Error: (-43) Unable to Open Movie\n"));
    cases.push_back(Failure("folder_named_like_a_movie", {Folder("take1.mov")}, {"take1.mov"},
                            "Error: No movie in folder\n"));
    cases.push_back(Failure("no_movie_in_file", {Bytes("notes.mov", std::string("\0\0\0\x10" "free" "12345678", 16))},
                            {"notes.mov"}, "Error: (-2048) NewMovieFromFile\n"));
    {
        FixtureMovie m = plain;
        m.moovFirst = true;
        std::string bytes = BuildFixtureMovie(m);
        // The stts entry count claims far more entries than the atom holds.
        PutBE32(bytes, FixtureAtomOffset(bytes, "moov/trak[1]/mdia/minf/stbl/stts") + 12, 0x7FFFFFFF);
        cases.push_back(Failure("damaged_movie", {Bytes("damaged.mov", bytes)}, {"damaged.mov"},
                                "Error: (-2010) NewMovieFromFile\n"));
    }
    {
        FixtureMovie videoOnly;
        videoOnly.tracks.push_back(plain.tracks[0]);
        cases.push_back(Run("no_timecode_track", {Movie("video only.mov", videoOnly)}, {"video only.mov"},
                            "Error: Could not find a TimeCode track\n", 0));
        FixtureMovie soundOnly;
        soundOnly.tracks.push_back(SoundTrack());
        cases.push_back(Run("sound_only", {Movie("sound.mov", soundOnly)}, {"sound.mov"},
                            "Error: Could not find a Video track\nError: Could not find a TimeCode track\n", 0));
    }
    cases.push_back(Failure("data_file_cannot_be_created",
                            {Movie("take1.mov", plain), Folder("take1_Lumarest_SubTitle_TimeCode.txt")},
                            {"take1.mov"}, "Error: Unable to open AviSynth TimeCode file for write access\n", 1));
    cases.push_back(Failure("script_cannot_be_created",
                            {Movie("take1.mov", plain), Folder("take1_Lumarest_SubTitle.avs")}, {"take1.mov"},
                            "Error: Unable to open AviSynth file for write access\n", 3));
    {
        FixtureMovie m = plain;
        m.tracks[1].tcSamples = {{kOneHour, 1001}, {kOneHour + 1, 1001}, {kOneHour + 2, 1001}};
        cases.push_back(Run("sample_timecode_unreadable", {Bytes("take1.mov", UnreadableSamples(m, {1}))},
                            {"take1.mov"}, "Error: Unable to get TimeCode Value 1 for 1001\n"));
        // Samples at 0, 2^31 and 2^32: the messages show the low 32 bits, signed.
        FixtureMovie wide;
        wide.tracks.push_back(FixtureVideoTrack(30000, 3, 0x80000000u));
        wide.tracks.push_back(FixtureTimecodeTrack(0, 30000, 1001, 30, 30000, 0, 0xFFFFFFFFu));
        cases.push_back(Run("every_sample_unreadable", {Bytes("take1.mov", UnreadableSamples(wide, {0}))},
                            {"take1.mov"}, "Error: Unable to get TimeCode Value 0 for 0\n"));
    }

    // ---- Paths ----
    {
        // 99 + 1 + 99 + 1 + 51 + 4 = 255 bytes; the output paths are longer.
        const std::string longPath = std::string(99, 'f') + "/" + std::string(99, 'g') + "/" +
                                     std::string(51, 'h') + ".mov";
        cases.push_back(Run("path_of_255_bytes", {Movie(longPath, plain)}, {longPath}));
    }
    // A further argument is a movie of its own.
    cases.push_back(Failure("relative_path_then_a_missing_movie", {Movie("clips/take 2.mov", plain)},
                            {"clips/take 2.mov", "missing.mov"}, "==> clips/take 2.mov <==\n", 4));
    cases.push_back(TypedOnWindows(Run("relative_path_backslashes", {Movie("clips/take1.mov", plain)},
                                       {"clips/take1.mov"}),
                                   {"clips\\take1.mov"}));
    {
        EndToEndCase c = TypedOnWindows(
            Run("parent_folder", {Movie("take1.mov", plain), Folder("work")}, {"../take1.mov"}),
            {"..\\take1.mov"});
        c.runIn = "work";
        cases.push_back(c);
        // "..\take1": the last '.' is the second of "..", so the files are
        // "._TimeCode.txt"... and BasePath has no folder part: the script names
        // the movie as typed.
        c = TypedOnWindows(Run("parent_folder_no_extension", {Movie("take1", plain), Folder("work")}, {"../take1"}),
                           {"..\\take1"}, {{"../take1", "..\\take1"}});
        c.runIn = "work";
        cases.push_back(c);
    }
    const std::vector<CaseEntry> clip = {Movie("clips/take1.mov", plain)};
    const std::vector<std::string> absolute = {"{dir}/clips/take1.mov"};
    cases.push_back(TypedOnWindows(Run("drive_letter", clip, absolute), {"{win}\\clips\\take1.mov"},
                                   {{"{dir}/clips/take1", "{win}\\clips\\take1"}}));
    cases.push_back(TypedOnWindows(Run("drive_letter_forward_slashes", clip, absolute), {"{win}/clips/take1.mov"},
                                   {{"{dir}/clips/take1", "{win}/clips/take1"}}));
    cases.push_back(TypedOnWindows(Run("root_of_the_current_drive", clip, absolute),
                                   {"{rooted}\\clips\\take1.mov"}, {{"{dir}/clips/take1", "{rooted}\\clips\\take1"}}));
    cases.push_back(TypedOnWindows(Run("unc_path", clip, absolute), {"{unc}\\clips\\take1.mov"},
                                   {{"{dir}/clips/take1", "{unc}\\clips\\take1"}}));
    // The last '.' counts in folder names too: BasePath is "\\server\share\clips".
    cases.push_back(TypedOnWindows(
        Run("unc_path_dot_in_folder", {Movie("clips.old/take1", plain)}, {"{dir}/clips.old/take1"}),
        {"{unc}\\clips.old\\take1"},
        {{"{dir}/clips.old/take1", "{unc}\\clips.old\\take1"}, {"{dir}/clips", "{unc}\\clips"}}));
    // A bare file name on Linux, a server that does not answer on Windows.
    cases.push_back(Failure("unc_server_missing", {}, {"\\\\nosuchserver\\share\\take1.mov"},
                            "Error: (-43) Unable to Open Movie\n"));

    // ---- Several movies, folders and wildcards ----
    // Windows joins names found in a folder with '\\'; a wildcard keeps the
    // folder part as typed. A pattern that matches nothing is an invalid name
    // there, so the open fails with -36.
    cases.push_back(TypedOnWindows(
        Run("a_movie_and_a_folder",
            {Movie("take1.mov", plain), Movie("clips/b.mov", plain), Movie("clips/sub/c.MP4", plain),
             Movie("clips/._b.mov", plain), Movie("clips/.cache/d.mov", plain), Bytes("clips/notes.txt", "notes")},
            {"take1.mov", "clips"}, "==> take1.mov <==\n\n==> clips/b.mov <==\n\n==> clips/sub/c.MP4 <==\n", 12),
        {}, {{"clips/sub/", "clips\\sub\\"}, {"clips/", "clips\\"}}));
    cases.push_back(TypedOnWindows(
        Failure("wildcards",
                {Movie("clips/take1.mov", plain), Movie("clips/take2.mov", plain), Movie("clips/take10.mov", plain),
                 Movie("my clips/b.mov", plain), Movie("my clips/.b.mov", plain)},
                {"clips/take1.mov", "clips/take2.mov", "{dir}/my clips/b.mov", "{dir}/my clips/.b.mov", "none*.mov"},
                "==> clips/take1.mov <==\n\n==> clips/take2.mov <==\n\n==> ", 16),
        {"clips\\take?.mov", "{win}/my clips/*.mov", "{win}/my clips/.*", "none*.mov"},
        {{"clips/take", "clips\\take"}, {"{dir}/my clips", "{win}/my clips"}, {"(-43)", "(-36)"}}));
    cases.push_back(TypedOnWindows(
        Failure("shared_stem", {Movie("take1.mov", plain), Movie("take1.mp4", PlainMovie(5, 0))},
                {"take1.mov", "take1.mp4"},
                "==> take1.mov <==\n\n==> take1.mp4 <==\nError: Unable to write the files of\n take1.mp4\n", 4),
        {"take1.*"}));
    {
        // A clean movie, one whose timecode jumps at frame 2 and ends before
        // its last frame, one without a timecode track: --qc exits 1.
        FixtureMovie jump = PlainMovie(4, kOneHour);
        jump.tracks[1].tcSamples = {{kOneHour, 2 * 1001}, {kOneHour + 100, 1001}};
        jump.tracks[1].tcSamplesPerChunk = 1;
        FixtureMovie videoOnly;
        videoOnly.tracks.push_back(plain.tracks[0]);
        const std::vector<CaseEntry> delivery = {Movie("delivery/clean.mov", plain), Movie("delivery/jump.mov", jump),
                                                 Movie("delivery/no timecode.mov", videoOnly)};
        // A drive letter alone is the current folder on that drive.
        EndToEndCase text = TypedOnWindows(Run("qc_folder", delivery, {"--qc", "."}, "./clean.mov: pass\n", 0),
                                           {"--qc", "Z:"}, {{"./", "Z:"}});
        text.runIn = "delivery";
        EndToEndCase json = TypedOnWindows(
            Run("qc_folder_json", delivery, {"--qc", "--json", "delivery"}, "{\"movie\":\"delivery/clean.mov\"", 0),
            {}, {{"delivery/", "delivery\\\\"}});
        for (EndToEndCase c : {text, json}) {
            c.nativeExit = 1;
            cases.push_back(c);
        }
    }

    // ---- The ANSI code page (1252 here): the path is the bytes Windows hands over ----
    cases.push_back(TypedOnWindows(Run("name_in_the_code_page", {Movie("caf\xc3\xa9.mov", plain)},
                                       {"caf\xc3\xa9.mov"}),
                                   {"caf\xc3\xa9.mov"}, {{"caf\xc3\xa9", "caf\xe9"}}));
    {
        EndToEndCase c = Run("name_outside_the_code_page", {Movie("\xe3\x83\x86\xe3\x82\xa4\xe3\x82\xaf.mov", plain)},
                             {"\xe3\x83\x86\xe3\x82\xa4\xe3\x82\xaf.mov"});
        c.windowsOnly = true;
        c.windowsOut = "Error: (-36) Unable to Open Movie\n ???.mov";
        cases.push_back(c);
    }
    {
        // ... except in --qc's JSON and page, which name it in UTF-8 as the native tool does.
        EndToEndCase c = TypedOnWindows(
            Run("qc_names_in_the_code_page",
                {Movie("d/\xc3\x89t\xc3\xa9 take.mov", plain), Movie("d/take1.mov", plain)},
                {"--qc", "--json", "--html", "qc.html", "d"}, "{\"movie\":\"d/take1.mov\"", 1),
            {}, {{":\"d/", ":\"d\\\\"}, {"\"d/", "\"d\\"}, {">d/", ">d\\"}});
        c.env = {"SOURCE_DATE_EPOCH=0"};  // the same page from both runs
        c.windowsJsonMovies = "d\\take1.mov\nd\\\xc3\x89t\xc3\xa9 take.mov\n";
        cases.push_back(c);
    }
    return cases;
}

// ---- Comparing ----------------------------------------------------------------------

std::string ReplaceAll(std::string text, const std::string& from, const std::string& to) {
    if (from.empty()) return text;
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

std::string Expand(const std::string& text, const CaseFolder& folder) {
    std::string out = ReplaceAll(text, "{dir}", folder.native);
    out = ReplaceAll(out, "{win}", folder.win);
    out = ReplaceAll(out, "{rooted}", folder.rooted);
    return ReplaceAll(out, "{unc}", folder.unc);
}

std::string WindowsTextFor(const EndToEndCase& c, const CaseFolder& folder, std::string text) {
    for (const auto& pair : c.windowsText)
        text = ReplaceAll(text, Expand(pair.first, folder), Expand(pair.second, folder));
    return text;
}

// What the case folder holds before a run, in FolderContents' names.
std::set<std::string> MaterialisedNames(const EndToEndCase& c) {
    std::set<std::string> names;
    for (const CaseEntry& e : c.entries) {
        for (size_t slash = e.path.find('/'); slash != std::string::npos; slash = e.path.find('/', slash + 1))
            names.insert(e.path.substr(0, slash + 1));
        names.insert(e.kind == CaseEntry::Folder ? e.path + "/" : e.path);
    }
    return names;
}

// Where two texts part, with a little of each, for a readable failure.
std::string Difference(const std::string& label, const std::string& expected, const std::string& actual) {
    size_t at = 0;
    while (at < expected.size() && at < actual.size() && expected[at] == actual[at]) ++at;
    const size_t from = at > 40 ? at - 40 : 0;
    return label + " differs at byte " + std::to_string(at) + ": expected \"" + expected.substr(from, 120) +
           "\", got \"" + actual.substr(from, 120) + "\"";
}

std::vector<std::string> Differences(const std::string& what, const std::string& expectedOut, int expectedExit,
                                     const std::map<std::string, std::string>& expectedFiles,
                                     const CaseRun& actual) {
    std::vector<std::string> out;
    if (actual.exitStatus != expectedExit)
        out.push_back(what + ": exit status " + std::to_string(actual.exitStatus) + ", expected " +
                      std::to_string(expectedExit));
    if (actual.out != expectedOut) out.push_back(Difference(what + ": standard output", expectedOut, actual.out));
    for (const auto& file : expectedFiles) {
        auto other = actual.files.find(file.first);
        if (other == actual.files.end())
            out.push_back(what + ": " + file.first + " is missing");
        else if (other->second != file.second)
            out.push_back(Difference(what + ": " + file.first, file.second, other->second));
    }
    for (const auto& file : actual.files)
        if (!expectedFiles.count(file.first)) out.push_back(what + ": " + file.first + " should not be there");
    return out;
}

}  // namespace

const std::vector<EndToEndCase>& EndToEndCases() {
    static const std::vector<EndToEndCase> cases = MakeCases();
    return cases;
}

bool MaterialiseCase(const EndToEndCase& c, const std::string& folder, std::string* why) {
    std::error_code ec;
    fs::create_directories(folder, ec);
    for (const CaseEntry& e : c.entries) {
        const fs::path path = fs::path(folder) / e.path;
        fs::create_directories(e.kind == CaseEntry::Folder ? path : path.parent_path(), ec);
        bool ok = !ec;
        switch (e.kind) {
            case CaseEntry::Fixture: ok = ok && WriteFixtureFile(path.string(), BuildFixtureFile(e.fixture)); break;
            case CaseEntry::CompressedHeader: {
                const std::string packed = CompressMovieHeader(BuildFixtureMovie(e.fixture));
                ok = ok && !packed.empty() && WriteFixtureFile(path.string(), packed);
                break;
            }
            case CaseEntry::Ffmpeg:
                ok = ok && !MakeFfmpegMovie(e.ffmpeg, path.parent_path().string(), path.filename().string()).empty();
                break;
            case CaseEntry::Bytes: ok = ok && WriteFixtureFile(path.string(), e.bytes); break;
            case CaseEntry::Folder: break;
        }
        if (!ok) {
            *why = "could not make " + path.string();
            return false;
        }
    }
    return true;
}

std::vector<std::string> NativeArgs(const EndToEndCase& c, const CaseFolder& folder) {
    std::vector<std::string> args;
    for (const std::string& arg : c.args) args.push_back(Expand(arg, folder));
    return args;
}

std::vector<std::string> WindowsArgs(const EndToEndCase& c, const CaseFolder& folder) {
    std::vector<std::string> args;
    for (const std::string& arg : c.windowsArgs.empty() ? c.args : c.windowsArgs) args.push_back(Expand(arg, folder));
    return args;
}

std::map<std::string, std::string> FolderContents(const std::string& folder) {
    std::map<std::string, std::string> contents;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        const std::string relative = fs::relative(entry.path(), folder).generic_string();
        if (entry.is_directory()) {
            contents[relative + "/"] = "";
        } else if (entry.file_size() > kLargestComparedFile) {
            contents[relative] = LargeFileEntry(entry.file_size());
        } else {
            std::ifstream in(entry.path(), std::ios::binary);
            std::ostringstream bytes;
            bytes << in.rdbuf();
            contents[relative] = bytes.str();
        }
    }
    return contents;
}

std::string LargeFileEntry(uintmax_t size) { return "(" + std::to_string(size) + " bytes)"; }

std::vector<std::string> CompareCaseRuns(const EndToEndCase& c, const CaseFolder& folder, const CaseRun& native,
                                         const CaseRun& windows, bool quickTime) {
    if (c.windowsOnly) return Differences("Windows", WithCarriageReturns(c.windowsOut), kFailed, native.files, windows);

    std::vector<std::string> out;
    if (native.exitStatus != c.nativeExit)
        out.push_back("native: exit status " + std::to_string(native.exitStatus) + ", the case expects " +
                      std::to_string(c.nativeExit));
    if (native.out.compare(0, c.nativeOutStart.size(), c.nativeOutStart) != 0 ||
        (c.nativeOutStart.empty() && !native.out.empty()))
        out.push_back(Difference("native: standard output", c.nativeOutStart, native.out));
    const std::set<std::string> before = MaterialisedNames(c);
    size_t added = 0;
    for (const auto& file : native.files) added += before.count(file.first) ? 0 : 1;
    if (added != c.nativeNewFiles)
        out.push_back("native: " + std::to_string(added) + " new files, the case expects " +
                      std::to_string(c.nativeNewFiles));

    const bool refused = quickTime && !c.quickTimeOut.empty();
    std::map<std::string, std::string> expectedFiles;
    for (const auto& file : native.files)
        if (!refused || before.count(file.first)) expectedFiles[file.first] = WindowsTextFor(c, folder, file.second);
    const std::string expectedOut = refused ? c.quickTimeOut : WindowsTextFor(c, folder, native.out);
    for (const std::string& d : Differences("Windows", WithCarriageReturns(expectedOut),
                                            refused ? kFailed : native.exitStatus, expectedFiles, windows))
        out.push_back(d);
    return out;
}

std::string WithCarriageReturns(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

const std::vector<QuickTimeStartupFailure>& QuickTimeStartupFailures() {
    static const std::vector<QuickTimeStartupFailure> failures = {
        {"startup_status", "standin-hooks", {"LUMAREST_STANDIN_STARTUP_STATUS=-108"},
         "Error: (-108) Unable to Initialize Quicktime - InitializeQTML\r\n"},
        {"missing_entry_point", "standin-no-callcomponent", {},
         "Error: (-2094) Unable to Initialize Quicktime - InitializeQTML\r\n"},
        // The stand-in logs into the tool's own standard output; the library
        // is freed by the shut-down, before the message.
        {"entermovies_status", "standin-hooks",
         {"LUMAREST_STANDIN_LOG=-", "LUMAREST_STANDIN_ENTERMOVIES_STATUS=-2"},
         "[stand-in] attach\r\n"
         "[stand-in] startup 4\r\n"
         "[stand-in] entermovies\r\n"
         "[stand-in] shutdown\r\n"
         "[stand-in] detach\r\n"
         "Error: (-2) Unable to Initialize Quicktime - EnterMovies\r\n"},
    };
    return failures;
}
