#pragma once
// The user manual: written from its registry into a fresh folder and opened.

#include "framework/asset_registry.h"

#include <cstdint>
#include <string>

namespace vantle::vst {

// One character of the folder-name alphabet, drawn from a process-wide
// generator seeded from the system's random device. Thread-safe.
char randomNameChar();

// Writes every manual file under a new owner-only folder with a 32-character
// random name inside temporaryFolder (which ends with the path separator),
// creating subfolders; "/" in a name separates folders. Returns the path of
// the entry document for the language id (Japanese for 1041, else English),
// or empty when the folder cannot be created. File errors are ignored.
std::string extractManual(const AssetRegistry& manual, const std::string& temporaryFolder, std::uint16_t languageId);

// Extracts the manual into the system's temporary folder and opens its entry
// document for the user's language. Errors are ignored.
void openManual(const AssetRegistry& manual);

} // namespace vantle::vst
