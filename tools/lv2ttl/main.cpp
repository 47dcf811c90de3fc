// tarvel-lv2ttl <bundle folder> <module file name>: writes the LV2 bundle's
// manifest.ttl and tarvel.ttl (plug-ins and user interface) from the port descriptions the module itself
// is built from. Run by the build after every build of the module.

#include <cstdio>
#include <fstream>
#include <string>

#include "entry/lv2_description.h"
#include "tools/lv2ttl/turtle_writer.h"

namespace {

bool writeFile(const std::string& path, const std::string& text)
{
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << text;
    file.close();
    if (!file) {
        std::fprintf(stderr, "tarvel-lv2ttl: cannot write %s\n", path.c_str());
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: tarvel-lv2ttl <bundle folder> <module file name>\n");
        return 2;
    }
    try {
        tarvel::lv2ttl::Bundle bundle{tarvel::lv2Plugins(),     argv[2],
                                      "tarvel.ttl",             tarvel::lv2MakerName(),
                                      tarvel::lv2MakerHomepage(), tarvel::lv2Ui().uri};
        const std::string folder = std::string(argv[1]) + "/";
        if (!writeFile(folder + "manifest.ttl", tarvel::lv2ttl::manifestTurtle(bundle)) ||
            !writeFile(folder + bundle.pluginsFile, tarvel::lv2ttl::pluginsTurtle(bundle)))
            return 1;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "tarvel-lv2ttl: %s\n", error.what());
        return 1;
    }
    return 0;
}
