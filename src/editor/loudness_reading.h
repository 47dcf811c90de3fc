#pragma once
// What the editor's graph shows of the processor, as the controller that
// owns the editor knows it: the latest loudness reading and whether the
// processor is active. The editor asks its controller for this interface,
// so it needs nothing else of it.

#include "parameters/readout.h"

namespace tarvel {

class LoudnessReading {
public:
    virtual double meterValue() const = 0;
    virtual bool isProcessorActive() const = 0;
    // The processor's latest readout (what the loudness reading came with).
    virtual Readout readout() const = 0;

protected:
    ~LoudnessReading() = default;
};

} // namespace tarvel
