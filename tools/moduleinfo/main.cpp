// tarvel-moduleinfo <module or bundle> <output>: writes the module's
// moduleinfo.json, described through its factory; the output appears only
// once complete.

#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <string>

#include "tools/moduleinfo/module_info.h"

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: tarvel-moduleinfo <module or bundle> <output>\n");
        return 2;
    }
    try {
        namespace fs = std::filesystem;
        const std::string document = tarvel::moduleinfo::describeModule(argv[1]);
        const fs::path output = argv[2];
        if (output.has_parent_path())
            fs::create_directories(output.parent_path());
        const fs::path partial = output.string() + ".part";
        {
            std::ofstream file(partial, std::ios::binary);
            file << document;
            if (!file.flush())
                throw std::runtime_error("cannot write " + partial.string());
        }
        fs::rename(partial, output);
        return 0;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "tarvel-moduleinfo: %s\n", error.what());
        return 1;
    }
}
