#include "support/scoped_config_folder.h"

#include <cstdlib>
#include <stdexcept>

namespace tarvel::test {

namespace {
constexpr const char* variable = "XDG_CONFIG_HOME";
}

ScopedConfigFolder::ScopedConfigFolder()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "tarvel-config.XXXXXX").string();
    if (!::mkdtemp(pattern.data()))
        throw std::runtime_error("cannot make a temporary configuration folder");
    folder = pattern;
    if (const char* old = std::getenv(variable)) {
        previous = old;
        hadPrevious = true;
    }
    ::setenv(variable, folder.c_str(), 1);
}

ScopedConfigFolder::~ScopedConfigFolder()
{
    if (hadPrevious)
        ::setenv(variable, previous.c_str(), 1);
    else
        ::unsetenv(variable);
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
}

} // namespace tarvel::test
