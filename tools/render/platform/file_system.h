#pragma once
// The few file and terminal services the render tool needs from the OS.

#include <cstdint>
#include <cstdio>
#include <string>

namespace tarvel::render {

bool fileExists(const std::string& path);
// A path in the same folder as path that does not exist yet.
std::string uniqueSiblingPath(const std::string& path);
bool renameFile(const std::string& from, const std::string& to);
void removeFile(const std::string& path) noexcept;
bool standardErrorIsTerminal();
// The folder of the running program, or empty when the OS does not say.
std::string executableFolder();

// 64-bit offsets in stdio files.
bool seekFile(std::FILE* file, std::int64_t offset, int whence);
std::int64_t fileOffset(std::FILE* file);
std::int64_t fileLength(std::FILE* file);

// SIGINT and SIGTERM set a flag instead of killing the process, so the
// render can stop and remove its temporary file.
void catchInterrupts();
bool interruptRequested();

} // namespace tarvel::render
