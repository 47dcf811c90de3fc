#pragma once
// Points the user's configuration folder (where editors keep their
// settings) at a fresh temporary folder for as long as it lives, so tests
// neither read nor change the real user's settings; removes it afterwards.

#include <filesystem>
#include <string>

namespace tarvel::test {

class ScopedConfigFolder {
public:
    ScopedConfigFolder();
    ~ScopedConfigFolder();
    ScopedConfigFolder(const ScopedConfigFolder&) = delete;
    ScopedConfigFolder& operator=(const ScopedConfigFolder&) = delete;

    const std::filesystem::path& path() const { return folder; }

private:
    std::filesystem::path folder;
    std::string previous;
    bool hadPrevious = false;
};

} // namespace tarvel::test
