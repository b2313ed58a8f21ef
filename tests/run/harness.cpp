#include "tests/run/harness.h"

#include "tests/fixture/ffmpeg_movie.h"

#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

const char* const kListSuffix = "_TimeCode.txt";
const char* const kTextSuffix = "_Lumarest_SubTitle_TimeCode.txt";
const char* const kRangeSuffix = "_Lumarest_SubTitle_Range.txt";
const char* const kScriptSuffix = "_Lumarest_SubTitle.avs";

ToolRun RunTool(const std::string& dir, const std::vector<std::string>& args, std::string* errors) {
    const std::string outputPath = dir + ".stdout", errorsPath = dir + ".stderr";
    std::string command = "cd " + ShellQuote(dir) + " && " + ShellQuote(LUMAREST_TC_PATH);
    for (const std::string& a : args) command += " " + ShellQuote(a);
    command += " > " + ShellQuote(outputPath);
    if (errors) command += " 2> " + ShellQuote(errorsPath);
    const int status = std::system(command.c_str());
    ToolRun run;
    run.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1000;
    run.output = ReadBytes(outputPath);
    std::remove(outputPath.c_str());
    if (errors) {
        *errors = ReadBytes(errorsPath);
        std::remove(errorsPath.c_str());
    }
    return run;
}

std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

bool FileExists(const std::string& path) {
    std::error_code ec;
    return fs::exists(path, ec);
}

void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

std::vector<std::string> ListFolder(const std::string& dir) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

void RunTest::SetUp() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string(info->test_suite_name()) + "." + info->name();
    for (char& c : name)
        if (c == '/') c = '_';
    const fs::path base = fs::temp_directory_path() / "lumarest-run-tests";
    fs::create_directories(base);
    std::string pattern = (base / (name + ".XXXXXX")).string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    dir_ = pattern;
}

void RunTest::TearDown() {
    std::error_code ec;
    if (!dir_.empty()) fs::remove_all(dir_, ec);
}

void RunTest::WriteMovie(const std::string& name, const FixtureMovie& movie) const {
    ASSERT_TRUE(WriteFixtureFile(Path(name), BuildFixtureMovie(movie)));
}

std::string NonDropTimecode(int64_t frame, int fps) {
    const int64_t perDay = int64_t(fps) * 60 * 60 * 24;
    frame %= perDay;
    char buf[32];
    std::snprintf(buf, sizeof buf, "%02d:%02d:%02d:%02d", int(frame / (fps * 3600)),
                  int(frame / (fps * 60) % 60), int(frame / fps % 60), int(frame % fps));
    return buf;
}

std::string ExpectedList(const std::vector<std::pair<int, std::string>>& samples) {
    std::string s;
    for (const auto& [index, text] : samples) s += text + "\n";
    return s;
}

std::string ExpectedText(const std::vector<std::pair<int, std::string>>& samples) {
    std::string s;
    for (const auto& [index, text] : samples) s += "n" + std::to_string(index) + "=\"" + text + "\"\n";
    return s;
}

std::string ExpectedRange(const std::vector<std::pair<int, std::string>>& samples) {
    std::string s = "Type int\nDefault 0\n\n";
    for (const auto& sample : samples)
        if (sample.first != 0) s += std::to_string(sample.first) + " " + std::to_string(sample.first) + "\n";
    return s;
}

std::string ExpectedScript(const std::string& movie, const std::string& text, const std::string& range,
                           int x, int y) {
    return "Vidorin(\"" + movie + "\", color=1, quality=100, audio=1, mode=0)\n" +
           "\n" +
           "import(\"" + text + "\")\n" +
           "ScriptClip(\"\"\"Subtitle(Eval(\"n\"+string(stringIdx)), font=\"Arial\", text_color=$88000000, "
           "halo_color=$88000000, x=" + std::to_string(x) + ", y=" + std::to_string(y) +
           ", size=50, align=2, interlaced=false)\"\"\")\n" +
           "ScriptClip(\"\"\"Subtitle(Eval(\"n\"+string(stringIdx)), font=\"Arial\", text_color=$00FFFFFF, "
           "halo_color=$00000000, size=50, align=2, interlaced=false)\"\"\")\n" +
           "ConditionalReader(\"" + range + "\", \"stringIdx\")\n";
}
