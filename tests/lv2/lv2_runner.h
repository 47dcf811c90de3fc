#pragma once
// One instance of a discovered plug-in, run as an LV2 host runs it: every
// port connected to a buffer of this object, control values written before
// a run, audio rendered block by block.

#include <lilv/lilv.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace tarvel::test {

class Lv2Runner {
public:
    // Control inputs start at their defaults. Throws if the plug-in does not
    // instantiate.
    Lv2Runner(const LilvPlugin* plugin, double sampleRate, std::uint32_t maxBlock);
    ~Lv2Runner();
    Lv2Runner(const Lv2Runner&) = delete;
    Lv2Runner& operator=(const Lv2Runner&) = delete;

    void set(const std::string& symbol, float value);
    float control(const std::string& symbol) const;
    void activate();
    // frames of channels() samples from input (one vector per channel,
    // starting at offset) into output.
    void run(const std::vector<std::vector<float>>& input, std::vector<std::vector<float>>& output,
             std::size_t offset, std::uint32_t frames);
    // The bare run call on the connected buffers, for counting what it does.
    void runConnected(std::uint32_t frames) { lilv_instance_run(instance, frames); }
    std::size_t channels() const { return inputPorts.size(); }

private:
    LilvInstance* instance = nullptr;
    std::vector<float> controls;
    std::map<std::string, std::uint32_t> portBySymbol;
    std::vector<std::uint32_t> inputPorts, outputPorts;
    std::vector<std::vector<float>> inputBuffers, outputBuffers;
    bool active = false;
};

} // namespace tarvel::test
