#pragma once
// A module's moduleinfo.json, as hosts of SDK 3.7.5 and later read it from
// the bundle's Contents/Resources folder to list its classes without loading
// it: the factory information and every class, taken from the built module
// through its factory.

#include <string>

namespace tarvel::moduleinfo {

// Loads the module file or bundle folder and describes it; throws
// std::runtime_error when it cannot be loaded or has no factory.
std::string describeModule(const std::string& modulePath);

} // namespace tarvel::moduleinfo
