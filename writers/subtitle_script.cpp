#include "writers/subtitle_script.h"

#include "common/decimal.h"

namespace {

void AppendDecimal(std::string& out, int32_t value) {
    char digits[kDecimalMax];
    out.append(digits, size_t(PutDecimal(digits, value) - digits));
}

}  // namespace

ShadowPosition ComputeShadowPosition(int16_t width, int16_t height) {
    // C++ division truncates toward zero: a width of -3 gives -1, so x = 3.
    return ShadowPosition{int32_t(width) / 2 + 4, int32_t(height) + 2};
}

std::string FormatSubtitleScript(const ScriptPaths& paths, ShadowPosition shadow) {
    std::string s;
    s.reserve(512 + paths.movie.size() + paths.subtitleText.size() + paths.subtitleRange.size());
    s += "Vidorin(\"";
    s += paths.movie;
    s += "\", color=1, quality=100, audio=1, mode=0)\n\n";
    s += "import(\"";
    s += paths.subtitleText;
    s += "\")\n";
    s += "ScriptClip(\"\"\"Subtitle(Eval(\"n\"+string(stringIdx)), font=\"Arial\", "
         "text_color=$88000000, halo_color=$88000000, x=";
    AppendDecimal(s, shadow.x);
    s += ", y=";
    AppendDecimal(s, shadow.y);
    s += ", size=50, align=2, interlaced=false)\"\"\")\n";
    s += "ScriptClip(\"\"\"Subtitle(Eval(\"n\"+string(stringIdx)), font=\"Arial\", "
         "text_color=$00FFFFFF, halo_color=$00000000, size=50, align=2, interlaced=false)\"\"\")\n";
    s += "ConditionalReader(\"";
    s += paths.subtitleRange;
    s += "\", \"stringIdx\")\n";
    return s;
}

bool WriteSubtitleScript(OutputFiles& files, const std::string& scriptPath, const ScriptPaths& paths,
                         int16_t width, int16_t height) {
    if (!OpenOutputFile(files.subtitleScript, scriptPath, "AviSynth")) return false;
    const std::string script = FormatSubtitleScript(paths, ComputeShadowPosition(width, height));
    Append(files.subtitleScript, script.data(), script.size());
    return true;
}
