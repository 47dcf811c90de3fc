#include "support/scoped_config_folder.h"

#include <windows.h>

#include <stdexcept>
#include <string>

namespace tarvel::test {

namespace {
constexpr const char* variable = "APPDATA";
}

ScopedConfigFolder::ScopedConfigFolder()
{
    const std::filesystem::path base = std::filesystem::temp_directory_path();
    for (unsigned attempt = 0; folder.empty(); ++attempt) {
        const std::filesystem::path candidate =
            base / ("tarvel-config." + std::to_string(GetCurrentProcessId()) + "." + std::to_string(attempt));
        if (CreateDirectoryA(candidate.string().c_str(), nullptr))
            folder = candidate;
        else if (GetLastError() != ERROR_ALREADY_EXISTS || attempt > 100)
            throw std::runtime_error("cannot make a temporary configuration folder");
    }
    char old[MAX_PATH + 1] = {};
    const DWORD length = GetEnvironmentVariableA(variable, old, sizeof old);
    hadPrevious = length > 0 && length < sizeof old;
    if (hadPrevious)
        previous.assign(old, length);
    SetEnvironmentVariableA(variable, folder.string().c_str());
}

ScopedConfigFolder::~ScopedConfigFolder()
{
    SetEnvironmentVariableA(variable, hadPrevious ? previous.c_str() : nullptr);
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
}

} // namespace tarvel::test
