// The intake's block start: which queues reach the ramps, what the mailboxes
// report, and when a published set takes over.

#include <gtest/gtest.h>

#include <limits>

#include <vector>

#include "intake/intake_runner.h"
#include "support/allocation_counter.h"

namespace tarvel {
namespace {

using Steinberg::int32;
using Steinberg::tresult;
using Steinberg::Vst::IParamValueQueue;
using Steinberg::Vst::ParamID;
using Steinberg::Vst::ParamValue;
using test::runBlock;

// A host's change list as it stands, duplicates and holes included, which
// host::ParameterChanges never produces.
class RawChanges final : public Steinberg::Vst::IParameterChanges {
public:
    explicit RawChanges(std::vector<IParamValueQueue*> list) : queues(std::move(list)) {}
    int32 PLUGIN_API getParameterCount() override { return static_cast<int32>(queues.size()); }
    IParamValueQueue* PLUGIN_API getParameterData(int32 index) override
    {
        return queues[static_cast<std::size_t>(index)];
    }
    IParamValueQueue* PLUGIN_API addParameterData(const ParamID&, int32&) override { return nullptr; }
    tresult PLUGIN_API queryInterface(const Steinberg::TUID, void** object) override
    {
        *object = nullptr;
        return Steinberg::kNoInterface;
    }
    Steinberg::uint32 PLUGIN_API addRef() override { return 1; }
    Steinberg::uint32 PLUGIN_API release() override { return 1; }

private:
    std::vector<IParamValueQueue*> queues;
};

// Claims more points than it can deliver, like a host whose queue changed
// under it: the missing points fail to read.
class OverclaimingQueue final : public IParamValueQueue {
public:
    OverclaimingQueue(IParamValueQueue& real, int32 extra) : inner(real), extraPoints(extra) {}
    ParamID PLUGIN_API getParameterId() override { return inner.getParameterId(); }
    int32 PLUGIN_API getPointCount() override { return inner.getPointCount() + extraPoints; }
    tresult PLUGIN_API getPoint(int32 index, int32& offset, ParamValue& value) override
    {
        return inner.getPoint(index, offset, value);
    }
    tresult PLUGIN_API addPoint(int32, ParamValue, int32&) override { return Steinberg::kResultFalse; }
    tresult PLUGIN_API queryInterface(const Steinberg::TUID, void** object) override
    {
        *object = nullptr;
        return Steinberg::kNoInterface;
    }
    Steinberg::uint32 PLUGIN_API addRef() override { return 1; }
    Steinberg::uint32 PLUGIN_API release() override { return 1; }

private:
    IParamValueQueue& inner;
    int32 extraPoints;
};

float taken(ParameterIntake& intake, std::int32_t id)
{
    float value = -1.0f;
    return intake.lastHostValue(id).take(value) ? value : -1.0f;
}

TEST(ParameterIntake, IgnoresIdsOutsideTheParameterSet)
{
    const Parameters start;
    ParameterIntake intake(start);
    host::ParameterChanges changes;
    changes.addPoint(5, 0, 0.9);
    changes.addPoint(1000, 0, 0.9);
    changes.addPoint(0xFFFFFFFFu, 0, 0.9);
    changes.addPoint(Ratio, 0, 0.9);
    runBlock(intake, &changes, 4, Ratio);
    EXPECT_EQ(intake.value(Ratio), 0.9);
    for (const std::int32_t id : {Bypass, Speed, StereoRatio, Target}) {
        EXPECT_EQ(intake.value(id), start[id]) << id;
        EXPECT_EQ(taken(intake, id), -1.0f) << id;
    }
}

TEST(ParameterIntake, MailboxReceivesTheBlocksLastPoint)
{
    ParameterIntake intake(Parameters{});
    host::ParameterChanges changes;
    changes.addPoint(Ratio, 5, 0.3);
    changes.addPoint(Ratio, 20, 0.7);
    changes.addPoint(Target, 0, 0.25);
    // The mailbox reports what the host sent, before any sample is processed.
    runBlock(intake, &changes, 0, Ratio);
    EXPECT_EQ(taken(intake, Ratio), 0.7f);
    EXPECT_EQ(taken(intake, Ratio), -1.0f);
    EXPECT_EQ(taken(intake, Target), 0.25f);
    EXPECT_EQ(taken(intake, Speed), -1.0f);
}

TEST(ParameterIntake, ABlockWithoutAudioAppliesItsLastPointsAtOnce)
{
    ParameterIntake intake(Parameters{});
    host::ParameterChanges changes;
    changes.addPoint(Ratio, 5, 0.3);
    changes.addPoint(Ratio, 900, 0.7);
    changes.addPoint(Target, 0, std::numeric_limits<double>::quiet_NaN());
    Steinberg::Vst::ProcessData data{};
    data.numSamples = 512;
    data.inputParameterChanges = &changes;
    intake.beginBlockWithoutAudio(data);
    EXPECT_EQ(taken(intake, Ratio), 0.7f);
    for (const double v : runBlock(intake, 16, Ratio))
        EXPECT_EQ(v, 0.7);
    EXPECT_EQ(intake.value(Target), 0.5) << "a NaN moves nothing";
    // A later point ramps from there, over the 16 samples since and 4 more.
    const auto values = runBlock(intake, 8, Ratio, {{3, 0.3}});
    EXPECT_NEAR(values[0], 0.7 - 0.4 / 20.0, 1e-12);
    EXPECT_EQ(values[3], 0.3);
}

TEST(ParameterIntake, MailboxReportsWhereTheBlockLeavesTheValue)
{
    // Out of order, before the block, not a number: the engine skips them,
    // so the mailbox, which the processor saves, must not report them.
    ParameterIntake intake(Parameters{});
    host::ParameterChanges changes;
    changes.addPoint(Ratio, 20, 0.7);
    changes.addPoint(Ratio, 10, 0.1);
    changes.addPoint(Target, 4, 0.25);
    changes.addPoint(Target, -3, 0.9);
    changes.addPoint(Speed, 0, std::numeric_limits<double>::quiet_NaN());
    const auto values = runBlock(intake, &changes, 32, Ratio);
    EXPECT_EQ(values.back(), 0.7);
    EXPECT_EQ(taken(intake, Ratio), 0.7f);
    EXPECT_EQ(taken(intake, Target), 0.25f);
    EXPECT_EQ(taken(intake, Speed), -1.0f);
    EXPECT_EQ(intake.value(Target), 0.25);
}

TEST(ParameterIntake, QueueWithoutPointsLeavesTheParameterAlone)
{
    ParameterIntake intake(Parameters{});
    host::ParameterChanges changes;
    int32 index = 0;
    changes.addParameterData(Ratio, index);
    for (const double v : runBlock(intake, &changes, 16, Ratio))
        EXPECT_EQ(v, 0.5);
    EXPECT_EQ(taken(intake, Ratio), -1.0f);
}

TEST(ParameterIntake, LaterQueueForTheSameIdWinsAndHolesAreSkipped)
{
    ParameterIntake intake(Parameters{});
    host::ParameterValueQueue first(Ratio), second(Ratio);
    int32 index = 0;
    first.addPoint(0, 0.1, index);
    second.addPoint(0, 0.8, index);
    RawChanges changes({&first, nullptr, &second});
    runBlock(intake, &changes, 4, Ratio);
    EXPECT_EQ(intake.value(Ratio), 0.8);
    EXPECT_EQ(taken(intake, Ratio), 0.8f);
}

TEST(ParameterIntake, PointsThatFailToReadAreSkipped)
{
    ParameterIntake intake(Parameters{});
    host::ParameterValueQueue real(Ratio);
    int32 index = 0;
    real.addPoint(3, 0.9, index);
    OverclaimingQueue queue(real, 2);
    RawChanges changes({&queue});
    intake.lastHostValue(Ratio).store(0.125f);
    const auto values = runBlock(intake, &changes, 8, Ratio);
    EXPECT_EQ(values[3], 0.9);
    EXPECT_EQ(values[7], 0.9);
    // The last point could not be read: the mailbox reports the last one
    // that could, where the block leaves the value.
    EXPECT_EQ(taken(intake, Ratio), 0.9f);
}

TEST(ParameterIntake, PublishedSetTakesOverAtTheNextBlockOnce)
{
    ParameterIntake intake(Parameters{});
    runBlock(intake, 16, Ratio, {{15, 0.2}});
    Parameters loaded;
    loaded[Ratio] = 0.9f;
    loaded[Target] = 0.125f;
    intake.exchange().publish(loaded);
    EXPECT_EQ(intake.value(Ratio), 0.2) << "nothing changes before the next block";
    for (const double v : runBlock(intake, 16, Ratio))
        EXPECT_NEAR(v, 0.9, 1e-7);
    EXPECT_EQ(intake.value(Target), 0.125);
    // A host point after the load moves the ramp again, and the set is not
    // applied a second time.
    runBlock(intake, 16, Ratio, {{0, 0.4}});
    for (const double v : runBlock(intake, 16, Ratio))
        EXPECT_EQ(v, 0.4);
}

// The loaded value is in force at once, and the segment toward the block's
// first point starts where the previous block's last point was.
TEST(ParameterIntake, BlockPointsRampFromALoadedSet)
{
    ParameterIntake intake(Parameters{});
    runBlock(intake, 64, Ratio, {{10, 0.2}});
    Parameters loaded;
    loaded[Ratio] = 0.75f;
    intake.exchange().publish(loaded);
    const auto values = runBlock(intake, 64, Ratio, {{9, 0.25}});
    // Sample 10 of the previous block is offset -54 of this one.
    EXPECT_NEAR(values[0], 0.75 - 0.5 / 63.0, 1e-12);
    EXPECT_EQ(values[9], 0.25);
    EXPECT_EQ(values[63], 0.25);
}

TEST(ParameterIntake, BlockStartAndSamplesAllocateNothing)
{
    ParameterIntake intake(Parameters{});
    host::ParameterChanges changes;
    for (std::int32_t id = 0; id < ParameterCount; ++id) {
        changes.addPoint(static_cast<ParamID>(id), 7, 0.1 * id);
        changes.addPoint(static_cast<ParamID>(id), 90, 0.9);
    }
    Steinberg::Vst::ProcessData data{};
    data.numSamples = 128;
    data.inputParameterChanges = &changes;
    Parameters loaded;
    loaded[Ratio] = 0.3f;

    test::AllocationCounter counter;
    for (int block = 0; block < 8; ++block) {
        if (block == 4)
            intake.exchange().publish(loaded);
        intake.beginBlock(data);
        for (int i = 0; i < data.numSamples; ++i)
            intake.advance();
    }
    EXPECT_EQ(counter.allocations(), 0u);
    EXPECT_EQ(intake.value(Ratio), 0.9);
}

} // namespace
} // namespace tarvel
