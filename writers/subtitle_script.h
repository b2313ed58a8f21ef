// The AviSynth script that burns each frame's timecode into the picture.
#pragma once

#include <cstdint>
#include <string>

#include "writers/output_files.h"

// The three paths as the script names them (see MakeScriptPaths).
struct ScriptPaths {
    std::string movie;
    std::string subtitleText;
    std::string subtitleRange;
};

// Position of the shadow text: half the width (truncated toward zero) plus 4,
// and the height plus 2, from the image description's signed 16-bit fields.
struct ShadowPosition {
    int32_t x;
    int32_t y;
};
ShadowPosition ComputeShadowPosition(int16_t width, int16_t height);

// The script's six lines, paths inserted byte for byte.
std::string FormatSubtitleScript(const ScriptPaths& paths, ShadowPosition shadow);

// Opens the script with mode "wb" and writes it. On a failed open prints the
// message with scriptPath and returns false. The stream stays open in
// files.subtitleScript for CloseOutputFiles.
bool WriteSubtitleScript(OutputFiles& files, const std::string& scriptPath, const ScriptPaths& paths,
                         int16_t width, int16_t height);
