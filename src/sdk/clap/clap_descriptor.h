#pragma once
// The descriptor a CLAP host reads before creating the plug-in: the
// factory's vendor, web address and version for the processor class, the
// plug-in's name and features, and an id in reverse-domain form made from
// the vendor's web address and the name.

#include <string>
#include <string_view>
#include <vector>

#include "pluginterfaces/base/ipluginbase.h"
#include "sdk/clap/clap_abi.h"

namespace Steinberg::Vst {

class ClapDescriptor {
public:
    // Throws std::runtime_error when the factory does not describe the class.
    ClapDescriptor(IPluginFactory& factory, const TUID processorClass, std::string name,
                   std::vector<std::string> features, std::string description);
    ClapDescriptor(const ClapDescriptor&) = delete;
    ClapDescriptor& operator=(const ClapDescriptor&) = delete;

    // Points into this object.
    const clap::clap_plugin_descriptor_t& record() const { return descriptor; }

private:
    std::string id, name, vendor, url, version, description;
    std::vector<std::string> features;
    std::vector<const char*> featurePointers;
    clap::clap_plugin_descriptor_t descriptor{};
};

// "https://www.maker.example/x" and "Name" give "example.maker.name": the
// host part reversed (without "www"), the name lower-cased, letters, digits
// and '-' kept.
std::string clapIdFromUrl(std::string_view url, std::string_view name);

} // namespace Steinberg::Vst
