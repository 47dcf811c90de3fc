#include "framework/manual.h"

#include "foundation/scrambled_text.h"
#include "platform/platform_services.h"

#include <cstdio>
#include <mutex>
#include <random>

namespace vantle::vst {

char randomNameChar()
{
    static std::mutex mutex;
    static std::mt19937 generator{std::random_device{}()};
    static const std::string alphabet = VANTLE_TEXT("abcdefghijklmnopqrstuvwxyz0123456789");
    const std::lock_guard lock(mutex);
    return alphabet[generator() % alphabet.size()];
}

std::string extractManual(const AssetRegistry& manual, const std::string& temporaryFolder, std::uint16_t languageId)
{
    const char separator = platform::pathSeparator();
    std::string folder = temporaryFolder;
    for (int i = 0; i < 32; ++i)
        folder.push_back(randomNameChar());
    if (!platform::createPrivateFolder(folder))
        return {};

    for (const auto& [name, entry] : manual.all()) {
        std::string relative = name;
        for (char& c : relative)
            if (c == '/')
                c = separator;
        const std::string path = folder + separator + relative;
        // Every prefix ending at a separator after the folder is a subfolder.
        for (std::size_t at = path.find(separator, folder.size() + 1); at != std::string::npos;
             at = path.find(separator, at + 1))
            platform::createPrivateFolder(path.substr(0, at));
        std::FILE* file = std::fopen(path.c_str(), VANTLE_TEXT("wb").c_str());
        if (!file)
            continue;
        const std::vector<std::uint8_t> bytes = assetBytes(manual, name);
        if (!bytes.empty())
            std::fwrite(bytes.data(), 1, bytes.size(), file);
        std::fclose(file);
    }

    std::string entry = languageId == 1041 ? VANTLE_TEXT("ja/index.html") : VANTLE_TEXT("en/index.html");
    for (char& c : entry)
        if (c == '/')
            c = separator;
    return folder + separator + entry;
}

void openManual(const AssetRegistry& manual)
{
    const auto temporary = platform::temporaryFolder();
    if (!temporary || temporary->empty())
        return;
    const std::string entry = extractManual(manual, *temporary, platform::userLanguageId());
    if (!entry.empty())
        platform::openDocument(entry);
}

} // namespace vantle::vst
