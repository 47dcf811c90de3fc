#pragma once
// Which files a command line renders, and where each result goes: the one
// INPUT and OUTPUT of the single-file form, or every input file (and every
// sound file in each input folder) written under its own name into the
// output folder.

#include <string>
#include <vector>

#include "tools/render/render_options.h"

namespace tarvel::render {

struct RenderJob {
    std::string inputPath;  // empty: the built-in demo
    std::string outputPath; // empty: report only
    std::string plotPath;   // empty: no picture
};

struct RenderPlan {
    bool batch = false;
    std::vector<RenderJob> jobs;
};

// Looks at the file system: folders are listed (sound files by extension,
// in name order) and the output and picture folders are created when
// missing. Throws UsageError for a plan that cannot work: no files, two
// inputs that would be written to the same file, an output that would
// overwrite an input, a folder without OUTDIR.
RenderPlan planRender(const RenderOptions& options);

} // namespace tarvel::render
