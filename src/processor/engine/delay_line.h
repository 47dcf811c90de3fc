#pragma once
// Integer delay that writes backwards into three times its capacity, so the
// read side never wraps: one block copy every 2 x capacity samples instead.

#include <algorithm>
#include <cstdint>
#include <vector>

namespace tarvel {

class DelayLine {
public:
    explicit DelayLine(std::int32_t capacitySamples)
        : capacity(std::max(capacitySamples, 1)), delay(capacity), writeIndex(2 * capacity - 1),
          buffer(static_cast<std::size_t>(3 * capacity), 0.0f)
    {
    }

    void setDelay(std::int32_t samples) noexcept { delay = std::clamp(samples, 0, capacity); }

    // y[n] = x[n - d], d = the delay set (0 <= d <= capacity)
    float process(float x) noexcept
    {
        if (--writeIndex < 0) {
            std::copy_n(buffer.begin(), capacity, buffer.begin() + 2 * capacity);
            writeIndex = 2 * capacity - 1;
        }
        buffer[static_cast<std::size_t>(writeIndex)] = x;
        return buffer[static_cast<std::size_t>(writeIndex + delay)];
    }

    // count samples at once, the same as count calls of process(). Between
    // two wraps the writes and the reads each cover a contiguous stretch, so
    // they run as two plain loops: a read never reaches a sample written
    // later in the same stretch, because delay >= 0 and writes go downwards.
    void processRun(const float* in, float* out, std::int32_t count) noexcept
    {
        while (count > 0) {
            if (writeIndex == 0) {
                std::copy_n(buffer.begin(), capacity, buffer.begin() + 2 * capacity);
                writeIndex = 2 * capacity;
            }
            const std::int32_t n = std::min(count, writeIndex);
            float* top = buffer.data() + (writeIndex - 1);
            for (std::int32_t j = 0; j < n; ++j)
                top[-j] = in[j];
            const float* read = top + delay;
            for (std::int32_t j = 0; j < n; ++j)
                out[j] = read[-j];
            writeIndex -= n;
            in += n;
            out += n;
            count -= n;
        }
    }

private:
    std::int32_t capacity;
    std::int32_t delay;
    std::int32_t writeIndex;
    std::vector<float> buffer;
};

} // namespace tarvel
