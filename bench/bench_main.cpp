// lumarest_bench: makes movies of growing sample counts, runs LumarestTC on
// each several times, without options, with --srt and with --qc (a row
// each), and prints per size the median wall and CPU time,
// samples and output bytes per second, the peak resident memory, the time
// that writing the same bytes through stdio takes (the floor), and where
// ffprobe is installed the time of its packet walk over the same file. CPU
// time (user and system) is shown beside wall time because it holds still
// when other work shares the machine. Then it makes a folder of small
// movies and times one run over the folder against one run per movie,
// with --qc and without, and --qc with its --html page. Last, a clip shaped
// as Sony's cameras write it (a label per frame in an rtmd track) against a
// tmcd movie of the same frames, and MXF files (OP1a from ffmpeg with a
// system item per frame, clip-wrapped, large frames), plain and with --qc,
// beside ffprobe's start-only run on the same file.
//
//   lumarest_bench [--tool PATH] [--sizes N,N,...] [--runs R] [--dir DIR]
//                  [--ffprobe PATH|none] [--folder MOVIES] [--sony FRAMES] [--mxf FRAMES] [--keep]
//
// Exit status 0 when every run of the tool succeeded and wrote exactly the
// expected bytes; 1 otherwise; 2 for a usage error.
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "bench/bench_child.h"
#include "bench/bench_floor.h"
#include "bench/bench_movie.h"

#ifndef LUMAREST_TC_PATH
#define LUMAREST_TC_PATH "LumarestTC"
#endif
#ifndef LUMAREST_BENCH_LAUNCH
#define LUMAREST_BENCH_LAUNCH "bench_launch"
#endif

namespace {

struct Options {
    std::string tool = LUMAREST_TC_PATH;
    std::string launcher = LUMAREST_BENCH_LAUNCH;
    std::vector<uint32_t> sizes = {10000, 100000, 1000000, 10000000};
    int runs = 5;
    std::string dir = "lumarest-bench";
    std::string ffprobe = "ffprobe";
    uint32_t folderMovies = 1000;  // 0: no folder table
    uint32_t sonyFrames = kBenchSonyFrames;  // 0: no Sony table
    uint32_t mxfFrames = kBenchMxfFrames;    // 0: no MXF table
    bool keep = false;
};

// How a row runs the tool: the plain run, with --srt, or with --qc.
enum class Mode { Plain, Srt, Qc };
const char* const kModeOptions[] = {"", "--srt", "--qc"};

struct SizeResult {
    uint32_t samples = 0;
    Mode mode = Mode::Plain;
    bool ok = true;
    int runs = 0;
    double wall = 0;        // medians
    double cpu = 0;
    double floorWall = 0;
    double floorCpu = 0;
    int64_t peakKiB = 0;    // largest of the runs
    int64_t bytesRead = 0;  // largest of the runs; -1 when not known
    uint64_t bytes = 0;     // all output files
    uint64_t movieBytes = 0;
    int ffprobeRuns = 0;
    double ffprobe = 0;     // 0: not run
};

const char* const kSuffixes[] = {"_TimeCode.txt", "_Lumarest_SubTitle_TimeCode.txt",
                                 "_Lumarest_SubTitle_Range.txt", "_Lumarest_SubTitle.avs",
                                 "_Lumarest_TimeCode.srt"};

double Median(std::vector<double> v) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

bool ParseSizes(const char* text, std::vector<uint32_t>* sizes) {
    sizes->clear();
    const char* p = text;
    while (*p) {
        char* end = nullptr;
        unsigned long long v = std::strtoull(p, &end, 10);
        if (end == p || v == 0 || v > 20000000ull) return false;
        sizes->push_back(uint32_t(v));
        p = end;
        if (*p == ',') ++p;
        else if (*p) return false;
    }
    return !sizes->empty();
}

bool ParseOptions(int argc, char** argv, Options* o) {
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        bool hasValue = i + 1 < argc;
        if (a == "--keep") {
            o->keep = true;
        } else if (a == "--tool" && hasValue) {
            o->tool = argv[++i];
        } else if (a == "--sizes" && hasValue) {
            if (!ParseSizes(argv[++i], &o->sizes)) return false;
        } else if (a == "--runs" && hasValue) {
            o->runs = std::atoi(argv[++i]);
            if (o->runs < 1 || o->runs > 1000) return false;
        } else if (a == "--dir" && hasValue) {
            o->dir = argv[++i];
        } else if (a == "--ffprobe" && hasValue) {
            o->ffprobe = argv[++i];
        } else if (a == "--folder" && hasValue) {
            o->folderMovies = uint32_t(std::strtoul(argv[++i], nullptr, 10));
        } else if (a == "--sony" && hasValue) {
            o->sonyFrames = uint32_t(std::strtoul(argv[++i], nullptr, 10));
        } else if (a == "--mxf" && hasValue) {
            o->mxfFrames = uint32_t(std::strtoul(argv[++i], nullptr, 10));
        } else {
            return false;
        }
    }
    return true;
}

std::string ReadLineStarting(const char* path, const char* prefix) {
    std::FILE* f = std::fopen(path, "r");
    if (!f) return "?";
    char line[256];
    std::string found = "?";
    size_t n = std::strlen(prefix);
    while (std::fgets(line, sizeof line, f)) {
        if (std::strncmp(line, prefix, n) == 0) {
            const char* v = std::strchr(line, ':');
            found = v ? v + 1 : line;
            found.erase(0, found.find_first_not_of(" \t"));
            found.erase(found.find_last_not_of(" \t\n") + 1);
            break;
        }
    }
    std::fclose(f);
    return found;
}

void PrintMachine() {
    std::printf("Machine: %ld cores, %s, %s memory\n", sysconf(_SC_NPROCESSORS_ONLN),
                ReadLineStarting("/proc/cpuinfo", "model name").c_str(),
                ReadLineStarting("/proc/meminfo", "MemTotal").c_str());
}

// The last line of a text file (without its line feed).
std::string LastLine(const std::string& bytes) {
    if (bytes.empty()) return std::string();
    size_t end = bytes.size() - (bytes.back() == '\n' ? 1 : 0);
    size_t begin = bytes.rfind('\n', end == 0 ? 0 : end - 1);
    begin = begin == std::string::npos ? 0 : begin + 1;
    return bytes.substr(begin, end - begin);
}

void RemoveOutputs(const std::string& base) {
    for (const char* s : kSuffixes) unlink((base + s).c_str());
}

// Checks what the tool wrote and keeps it (already formatted) for the floor.
bool CheckOutputs(const std::string& base, uint32_t samples, bool srt, const std::string& floorBase,
                  std::vector<OutputCopy>* copies, uint64_t* bytes) {
    copies->clear();
    *bytes = 0;
    uint64_t dataBytes = 0;
    for (int i = 0; i < (srt ? 5 : 4); ++i) {
        OutputCopy c;
        c.path = floorBase + kSuffixes[i];
        if (!ReadWholeFile(base + kSuffixes[i], &c.bytes)) {
            std::printf("  missing output %s%s\n", base.c_str(), kSuffixes[i]);
            return false;
        }
        *bytes += c.bytes.size();
        if (i < 3) dataBytes += c.bytes.size();
        copies->push_back(std::move(c));
    }
    bool ok = true;
    if (dataBytes != BenchDataBytes(samples)) {
        std::printf("  data files hold %llu bytes, expected %llu\n", (unsigned long long)dataBytes,
                    (unsigned long long)BenchDataBytes(samples));
        ok = false;
    }
    std::string last = LastLine((*copies)[0].bytes);
    if (last != BenchLastTimecode(samples)) {
        std::printf("  last timecode %s, expected %s\n", last.c_str(), BenchLastTimecode(samples).c_str());
        ok = false;
    }
    if (srt && (*copies)[4].bytes.size() != BenchCueBytes(samples)) {
        std::printf("  cue file holds %zu bytes, expected %llu\n", (*copies)[4].bytes.size(),
                    (unsigned long long)BenchCueBytes(samples));
        ok = false;
    }
    return ok;
}

// Standard output of a command run through the shell; empty when it fails.
std::string CommandOutput(const std::string& command) {
    std::string out;
    std::FILE* p = popen(command.c_str(), "r");
    if (!p) return out;
    char buffer[4096];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, p)) > 0;) out.append(buffer, n);
    pclose(p);
    return out;
}

// --qc writes nothing and reports every frame and the last label, as
// counted from first principles.
bool CheckReport(const Options& o, const std::string& base, const std::string& moviePath, uint32_t samples) {
    for (const char* s : kSuffixes) {
        if (access((base + s).c_str(), F_OK) == 0) {
            std::printf("  --qc wrote %s%s\n", base.c_str(), s);
            return false;
        }
    }
    const std::string report = CommandOutput("'" + o.tool + "' --qc '" + moviePath + "'");
    const std::string expected = "  " + std::to_string(samples) + " frames, frame rate 2997/100\n" +
                                 "  timecode 01:00:00;00 to " + BenchLastTimecode(samples) +
                                 ", drop-frame, 30 frames a second, rate 2997/100, wraps at 24 hours\n";
    if (report.find(": pass\n" + expected) == std::string::npos) {
        std::printf("  --qc reported:\n%s", report.c_str());
        return false;
    }
    return true;
}

// Runs the tool o.runs times on the movie, checks what it wrote and times
// writing the same bytes (the floor); with --qc, checks the report instead.
void TimeTool(const Options& o, const std::string& moviePath, const std::string& base,
              const std::string& floorBase, SizeResult* r) {
    // Every timed run starts with no output file, as a first run does.
    std::vector<double> walls, cpus;
    for (int i = 0; i < o.runs && r->ok; ++i) {
        RemoveOutputs(base);
        std::vector<std::string> args = {o.tool, moviePath};
        if (r->mode != Mode::Plain) args.insert(args.begin() + 1, kModeOptions[int(r->mode)]);
        ChildRun c = RunChild(o.launcher, args, false);
        if (!c.started || c.exitStatus != 0) {
            std::printf("  %s failed (exit status %d)\n", o.tool.c_str(), c.exitStatus);
            r->ok = false;
            break;
        }
        walls.push_back(c.wallSeconds);
        cpus.push_back(c.cpuSeconds);
        r->peakKiB = std::max(r->peakKiB, c.peakKiB);
        r->bytesRead = c.bytesRead < 0 ? -1 : std::max(r->bytesRead, c.bytesRead);
    }
    r->runs = int(walls.size());
    r->wall = Median(walls);
    r->cpu = Median(cpus);

    if (r->mode == Mode::Qc) {
        r->ok = r->ok && CheckReport(o, base, moviePath, r->samples);
        return;
    }
    std::vector<OutputCopy> copies;
    if (r->ok) r->ok = CheckOutputs(base, r->samples, r->mode == Mode::Srt, floorBase, &copies, &r->bytes);
    if (r->ok) {
        std::vector<double> floorWalls, floorCpus;
        for (int i = 0; i < o.runs; ++i) {
            RemoveOutputs(floorBase);
            FloorTime t = WriteFloor(copies);
            floorWalls.push_back(t.wallSeconds);
            floorCpus.push_back(t.cpuSeconds);
        }
        r->floorWall = Median(floorWalls);
        r->floorCpu = Median(floorCpus);
    }
}

// The plain, --srt and --qc rows of one size.
std::vector<SizeResult> RunSize(const Options& o, const std::string& ffprobe, uint32_t samples) {
    SizeResult r;
    r.samples = samples;
    const std::string base = o.dir + "/bench_" + std::to_string(samples);
    const std::string moviePath = base + ".mov";
    const std::string floorBase = o.dir + "/floor_" + std::to_string(samples);

    double t0 = NowSeconds();
    {
        const FixtureFile movie = BuildFixtureFile(BenchMovie(samples));
        r.movieBytes = movie.head.size() + movie.hole + movie.tail.size();
        if (!WriteFixtureFile(moviePath, movie)) {
            std::printf("  cannot write %s\n", moviePath.c_str());
            r.ok = false;
            return {r};
        }
    }
    std::printf("%u samples: movie made in %.2f s\n", samples, NowSeconds() - t0);
    std::fflush(stdout);

    SizeResult withCues = r, checked = r;
    withCues.mode = Mode::Srt;
    checked.mode = Mode::Qc;
    TimeTool(o, moviePath, base, floorBase, &r);
    TimeTool(o, moviePath, base, floorBase, &withCues);
    TimeTool(o, moviePath, base, floorBase, &checked);

    if (!ffprobe.empty() && r.ok) {
        // About a minute per run at ten million samples: one run is enough there.
        int runs = samples >= 10000000 ? 1 : o.runs;
        std::vector<double> walls;
        for (int i = 0; i < runs; ++i) {
            ChildRun c = RunChild(o.launcher, {ffprobe, "-v", "error", "-select_streams", "v:0", "-show_entries",
                                   "packet=pts", "-of", "csv", moviePath},
                                  false);
            if (!c.started || c.exitStatus != 0) break;
            walls.push_back(c.wallSeconds);
        }
        r.ffprobeRuns = int(walls.size());
        r.ffprobe = Median(walls);
    }

    if (!o.keep) {
        RemoveOutputs(base);
        RemoveOutputs(floorBase);
        unlink(moviePath.c_str());
    }
    return {r, withCues, checked};
}

double Ratio(double a, double b) { return b > 0 ? a / b : 0.0; }

void PrintTable(const std::vector<SizeResult>& results, bool withFfprobe) {
    std::printf("\n| samples | movie | runs | wall | CPU | samples/s | peak RSS | bytes read | bytes written "
                "| bytes/s | floor wall | floor CPU | tool/floor wall | tool/floor CPU |%s\n",
                withFfprobe ? " ffprobe wall | ffprobe/tool |" : "");
    std::printf("|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|%s\n",
                withFfprobe ? "---:|---:|" : "");
    for (const SizeResult& r : results) {
        const std::string option = r.mode == Mode::Plain ? "" : std::string(" ") + kModeOptions[int(r.mode)];
        if (!r.ok) {
            std::printf("| %u%s | failed |\n", r.samples, option.c_str());
            continue;
        }
        char bytesRead[32] = "-";
        if (r.bytesRead >= 0) std::snprintf(bytesRead, sizeof bytesRead, "%.1f KiB", r.bytesRead / 1024.0);
        if (r.mode == Mode::Qc) {
            // Nothing written: no output bytes and no floor to compare with.
            std::printf("| %u%s | %.1f MB | %d | %.4f s | %.4f s | %.3g M | %.2f MiB | %s | - | - | - | - | - | - |%s\n",
                        r.samples, option.c_str(), r.movieBytes / 1e6, r.runs, r.wall, r.cpu,
                        Ratio(r.samples, r.wall) / 1e6, r.peakKiB / 1024.0, bytesRead, withFfprobe ? " - | - |" : "");
            continue;
        }
        std::printf("| %u%s | %.1f MB | %d | %.4f s | %.4f s | %.3g M | %.2f MiB | %s | %.1f MB | %.0f MB/s "
                    "| %.4f s | %.4f s | %.2f | %.2f |",
                    r.samples, option.c_str(), r.movieBytes / 1e6, r.runs, r.wall, r.cpu, Ratio(r.samples, r.wall) / 1e6,
                    r.peakKiB / 1024.0, bytesRead, r.bytes / 1e6, Ratio(double(r.bytes), r.wall) / 1e6, r.floorWall,
                    r.floorCpu, Ratio(r.wall, r.floorWall), Ratio(r.cpu, r.floorCpu));
        if (withFfprobe) {
            if (r.ffprobeRuns > 0)
                std::printf(" %.3f s (%d run%s) | %.1f |", r.ffprobe, r.ffprobeRuns, r.ffprobeRuns > 1 ? "s" : "",
                            Ratio(r.ffprobe, r.wall));
            else
                std::printf(" - | - |");
        }
        std::printf("\n");
    }
}

// Ten seconds of video per movie of the folder table.
constexpr uint32_t kFolderSamples = 300;

struct FolderResult {
    std::string options;   // as the table shows them
    bool ok = true;
    double oneRun = 0;     // wall of one run over the folder
    double perMovie = -1;  // walls of the runs of one movie each, summed; -1: not run
    int64_t peakKiB = 0;   // of the one run
    int64_t pageBytes = -1;  // with --html: the page's size
};

// Runs the tool once with the options before path; false, with a line
// saying so, unless it ends with 0.
bool RunOnce(const Options& o, const std::vector<std::string>& options, const std::string& path, double* wall,
             int64_t* peakKiB) {
    std::vector<std::string> args = {o.tool};
    args.insert(args.end(), options.begin(), options.end());
    args.push_back(path);
    const ChildRun c = RunChild(o.launcher, args, false);
    *wall += c.wallSeconds;
    if (peakKiB) *peakKiB = c.peakKiB;
    if (c.started && c.exitStatus == 0) return true;
    std::printf("  %s on %s failed (exit status %d)\n", o.tool.c_str(), path.c_str(), c.exitStatus);
    return false;
}

// A folder of small movies: one run over the folder against one run per
// movie, for the plain run and --qc, and one run of --qc with its page.
// Every run starts with no output file.
std::vector<FolderResult> TimeFolder(const Options& o) {
    const std::string folder = o.dir + "/folder";
    const std::string page = o.dir + "/qc.html";
    mkdir(folder.c_str(), 0777);
    std::vector<std::string> bases;
    const FixtureFile movie = BuildFixtureFile(BenchMovie(kFolderSamples));
    for (uint32_t k = 0; k < o.folderMovies; ++k) {
        char name[32];
        std::snprintf(name, sizeof name, "/take%05u", k);
        bases.push_back(folder + name);
        if (!WriteFixtureFile(bases.back() + ".mov", movie)) return {FolderResult{"none", false}};
    }
    const std::vector<std::vector<std::string>> rows = {{}, {"--qc"}, {"--qc", "--html", page}};
    std::vector<FolderResult> results;
    for (const std::vector<std::string>& options : rows) {
        FolderResult r;
        r.options = options.empty() ? "none" : options.size() == 1 ? options[0] : "--qc --html";
        r.ok = RunOnce(o, options, folder, &r.oneRun, &r.peakKiB);
        std::string bytes;
        if (options.empty() && r.ok &&
            (!ReadWholeFile(bases.back() + kSuffixes[0], &bytes) || LastLine(bytes) != BenchLastTimecode(kFolderSamples))) {
            std::printf("  the folder run's last movie has no complete list\n");
            r.ok = false;
        }
        for (const std::string& base : bases) RemoveOutputs(base);
        if (options.size() > 1) {
            r.ok = r.ok && ReadWholeFile(page, &bytes) && bytes.find(bases.back()) != std::string::npos;
            r.pageBytes = int64_t(bytes.size());
            unlink(page.c_str());
        } else {
            r.perMovie = 0;
            for (size_t k = 0; k < bases.size() && r.ok; ++k)
                r.ok = RunOnce(o, options, bases[k] + ".mov", &r.perMovie, nullptr);
        }
        results.push_back(r);
    }
    for (const std::string& base : bases) {
        RemoveOutputs(base);
        if (!o.keep) unlink((base + ".mov").c_str());
    }
    if (!o.keep) rmdir(folder.c_str());
    return results;
}

void PrintFolderTable(const std::vector<FolderResult>& results, uint32_t movies) {
    std::printf("\n| movies | samples each | options | one run over the folder | one run per movie | "
                "per movie / one run | peak RSS, one run | page |\n|---:|---:|---|---:|---:|---:|---:|---:|\n");
    for (const FolderResult& r : results) {
        if (!r.ok) {
            std::printf("| %u | %u | %s | failed |\n", movies, kFolderSamples, r.options.c_str());
            continue;
        }
        std::printf("| %u | %u | %s | %.3f s |", movies, kFolderSamples, r.options.c_str(), r.oneRun);
        if (r.perMovie >= 0)
            std::printf(" %.3f s | %.1f |", r.perMovie, Ratio(r.perMovie, r.oneRun));
        else
            std::printf(" - | - |");
        std::printf(" %.2f MiB |", r.peakKiB / 1024.0);
        if (r.pageBytes >= 0)
            std::printf(" %.2f MB |\n", r.pageBytes / 1e6);
        else
            std::printf(" - |\n");
    }
}

// A row of the tables of other kinds of movie: one movie, plain or --qc.
struct FileResult {
    std::string movie;
    const char* option = "none";
    uint32_t frames = 0;
    bool ok = true;
    double wall = 0, cpu = 0;  // medians
    int64_t peakKiB = 0, bytesRead = 0;
    uint64_t movieBytes = 0;
    double ffprobe = 0;        // its start-only run; 0: not run
};

// The movie at path, plain and with --qc: each run must end with 0, the
// plain one with lastLabel last in its list. With ffprobe, also its
// start-only run (the format's timecode tag) on the same file.
void TimeFile(const Options& o, const std::string& ffprobe, const std::string& label, const std::string& path,
              uint32_t frames, const std::string& lastLabel, std::vector<FileResult>* results) {
    const std::string base = path.substr(0, path.rfind('.'));
    struct stat st;
    const uint64_t movieBytes = stat(path.c_str(), &st) == 0 ? uint64_t(st.st_size) : 0;
    for (const char* option : {"", "--qc"}) {
        FileResult r;
        r.movie = label;
        r.option = *option ? option : "none";
        r.frames = frames;
        r.movieBytes = movieBytes;
        r.ok = movieBytes > 0;
        std::vector<double> walls, cpus;
        for (int i = 0; i < o.runs && r.ok; ++i) {
            RemoveOutputs(base);
            std::vector<std::string> args = {o.tool, path};
            if (*option) args.insert(args.begin() + 1, option);
            const ChildRun c = RunChild(o.launcher, args, false);
            r.ok = c.started && c.exitStatus == 0;
            walls.push_back(c.wallSeconds);
            cpus.push_back(c.cpuSeconds);
            r.peakKiB = std::max(r.peakKiB, c.peakKiB);
            r.bytesRead = std::max(r.bytesRead, c.bytesRead);
        }
        std::string list;
        if (r.ok && !*option) r.ok = ReadWholeFile(base + kSuffixes[0], &list) && LastLine(list) == lastLabel;
        if (!r.ok) std::printf("  %s %s failed\n", label.c_str(), r.option);
        r.wall = Median(walls);
        r.cpu = Median(cpus);
        RemoveOutputs(base);
        if (!ffprobe.empty() && !*option) {
            std::vector<double> probes;
            for (int i = 0; i < o.runs; ++i)
                probes.push_back(RunChild(o.launcher, {ffprobe, "-v", "error", "-show_entries", "format_tags=timecode",
                                                       "-of", "csv", path},
                                          false)
                                     .wallSeconds);
            r.ffprobe = Median(probes);
        }
        results->push_back(r);
    }
    if (!o.keep) unlink(path.c_str());
}

// A Sony-shaped clip (labels in an rtmd track) and a tmcd twin.
std::vector<FileResult> TimeSony(const Options& o) {
    std::vector<FileResult> results;
    for (const bool rtmd : {true, false}) {
        const std::string path = o.dir + (rtmd ? "/sony_rtmd.MP4" : "/sony_tmcd.MP4");
        if (!WriteFixtureFile(path, BuildFixtureFile(BenchSonyMovie(o.sonyFrames, rtmd)))) unlink(path.c_str());
        TimeFile(o, std::string(), rtmd ? "rtmd" : "tmcd", path, o.sonyFrames, BenchSonyLastLabel(o.sonyFrames),
                 &results);
    }
    return results;
}

// MXF files at 25 fps from 10:00:00:00: ffmpeg's OP1a with a system item
// per frame and small pictures, a clip-wrapped file of 1 KiB edit units,
// and (a tenth as many frames) large 150 KB pictures with sound.
std::vector<FileResult> TimeMxf(const Options& o, const std::string& ffprobe) {
    std::vector<FileResult> results;
    const uint32_t frames = o.mxfFrames;
    const std::string last = BenchMxfLastLabel(frames);
    if (!ffprobe.empty()) {
        const std::string path = o.dir + "/op1a.mxf";
        const std::string command = "ffmpeg -nostdin -v error -y -f lavfi -i color=black:size=16x16:rate=25 -frames:v " +
                                    std::to_string(frames) + " -c:v mpeg2video -timecode 10:00:00:00 -f mxf '" + path + "'";
        if (std::system(command.c_str()) != 0) unlink(path.c_str());
        TimeFile(o, ffprobe, "ffmpeg OP1a", path, frames, last, &results);
    }
    const std::string clip = o.dir + "/clip.mxf";
    if (!WriteFixtureFile(clip, BuildMxfFixture(BenchMxf(frames, true, 1024)))) unlink(clip.c_str());
    TimeFile(o, ffprobe, "clip-wrapped", clip, frames, last, &results);
    const uint32_t large = std::max<uint32_t>(frames / 10, 1);
    const std::string big = o.dir + "/large.mxf";
    if (!WriteFixtureFile(big, BuildMxfFixture(BenchMxf(large, false, 150000)))) unlink(big.c_str());
    TimeFile(o, ffprobe, "150 KB frames", big, large, BenchMxfLastLabel(large), &results);
    return results;
}

void PrintFileTable(const std::vector<FileResult>& results, const char* first) {
    std::printf("\n| %s | options | frames | movie | wall | CPU | peak RSS | bytes read | read per frame | ffprobe, start only |\n"
                "|---|---|---:|---:|---:|---:|---:|---:|---:|---:|\n", first);
    for (const FileResult& r : results) {
        if (!r.ok) {
            std::printf("| %s | %s | %u | failed |\n", r.movie.c_str(), r.option, r.frames);
            continue;
        }
        char probe[32] = "-";
        if (r.ffprobe > 0) std::snprintf(probe, sizeof probe, "%.4f s", r.ffprobe);
        std::printf("| %s | %s | %u | %.1f MB | %.4f s | %.4f s | %.2f MiB | %.1f KiB | %.1f B | %s |\n",
                    r.movie.c_str(), r.option, r.frames, r.movieBytes / 1e6, r.wall, r.cpu, r.peakKiB / 1024.0,
                    r.bytesRead / 1024.0, Ratio(double(r.bytesRead), r.frames), probe);
    }
}

}  // namespace

int main(int argc, char** argv) {
    Options o;
    if (!ParseOptions(argc, argv, &o)) {
        std::printf("Usage: lumarest_bench [--tool PATH] [--sizes N,N,...] [--runs R] [--dir DIR]"
                    " [--ffprobe PATH|none] [--folder MOVIES] [--sony FRAMES] [--mxf FRAMES] [--keep]\n");
        return 2;
    }
    if (access(o.tool.c_str(), X_OK) != 0) {
        std::printf("No LumarestTC at %s\n", o.tool.c_str());
        return 1;
    }
    if (access(o.launcher.c_str(), X_OK) != 0) {
        std::printf("No bench_launch at %s\n", o.launcher.c_str());
        return 1;
    }
    mkdir(o.dir.c_str(), 0777);
    std::string ffprobe = o.ffprobe == "none" ? std::string() : FindProgram(o.ffprobe);

    PrintMachine();
    std::printf("Tool: %s; %d run%s per size (medians); ffprobe: %s\n\n", o.tool.c_str(), o.runs,
                o.runs > 1 ? "s" : "", ffprobe.empty() ? "not run" : ffprobe.c_str());
    std::fflush(stdout);

    std::vector<SizeResult> results;
    bool ok = true;
    for (uint32_t n : o.sizes) {
        for (const SizeResult& r : RunSize(o, ffprobe, n)) {
            results.push_back(r);
            ok = ok && r.ok;
        }
    }
    std::vector<FolderResult> folder;
    if (o.folderMovies > 0) {
        std::printf("A folder of %u movies of %u samples\n", o.folderMovies, kFolderSamples);
        std::fflush(stdout);
        folder = TimeFolder(o);
        for (const FolderResult& r : folder) ok = ok && r.ok;
    }
    std::vector<FileResult> sony, mxf;
    if (o.sonyFrames > 0) {
        std::printf("A Sony-shaped clip of %u frames and its tmcd twin\n", o.sonyFrames);
        std::fflush(stdout);
        sony = TimeSony(o);
    }
    if (o.mxfFrames > 0) {
        std::printf("MXF files of %u frames\n", o.mxfFrames);
        std::fflush(stdout);
        mxf = TimeMxf(o, ffprobe);
    }
    for (const std::vector<FileResult>* rows : {&sony, &mxf})
        for (const FileResult& r : *rows) ok = ok && r.ok;
    if (!o.keep) rmdir(o.dir.c_str());
    PrintTable(results, !ffprobe.empty());
    if (!folder.empty()) PrintFolderTable(folder, o.folderMovies);
    if (!sony.empty()) PrintFileTable(sony, "timecode");
    if (!mxf.empty()) PrintFileTable(mxf, "MXF file");
    return ok ? 0 : 1;
}
