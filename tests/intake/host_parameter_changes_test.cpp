// The host-side change list the tests and the host harness feed to
// processors.

#include <gtest/gtest.h>

#include "pluginterfaces/base/smartpointer.h"
#include "support/allocation_counter.h"
#include "tools/host/parameter_changes.h"

namespace tarvel::host {
namespace {

using Steinberg::int32;
using Steinberg::Vst::IParameterChanges;
using Steinberg::Vst::IParamValueQueue;
using Steinberg::Vst::ParamValue;

TEST(HostParameterChanges, OneQueuePerIdInOrderOfFirstUse)
{
    ParameterChanges changes;
    int32 first = -1, second = -1, again = -1;
    IParamValueQueue* ratio = changes.addParameterData(2, first);
    IParamValueQueue* target = changes.addParameterData(4, second);
    EXPECT_EQ(changes.addParameterData(2, again), ratio);
    EXPECT_EQ(first, 0);
    EXPECT_EQ(second, 1);
    EXPECT_EQ(again, 0);
    EXPECT_EQ(changes.getParameterCount(), 2);
    EXPECT_EQ(changes.getParameterData(1), target);
    EXPECT_EQ(target->getParameterId(), 4u);
    EXPECT_EQ(changes.getParameterData(2), nullptr);
    EXPECT_EQ(changes.getParameterData(-1), nullptr);
}

TEST(HostParameterChanges, KeepsPointsInTheOrderAdded)
{
    ParameterChanges changes;
    changes.addPoint(1, 8, 0.25);
    changes.addPoint(1, 3, 0.75);
    IParamValueQueue* queue = changes.getParameterData(0);
    ASSERT_NE(queue, nullptr);
    ASSERT_EQ(queue->getPointCount(), 2);
    int32 offset = 0;
    ParamValue value = 0.0;
    ASSERT_EQ(queue->getPoint(1, offset, value), Steinberg::kResultOk);
    EXPECT_EQ(offset, 3);
    EXPECT_EQ(value, 0.75);
    EXPECT_NE(queue->getPoint(2, offset, value), Steinberg::kResultOk);
    EXPECT_NE(queue->getPoint(-1, offset, value), Steinberg::kResultOk);
}

TEST(HostParameterChanges, ReusableAfterClearAndGrowsPastItsReserve)
{
    ParameterChanges changes(2, 2);
    for (Steinberg::Vst::ParamID id = 0; id < 5; ++id)
        for (int32 i = 0; i < 4; ++i)
            ASSERT_EQ(changes.addPoint(id, i, 0.1 * i), Steinberg::kResultOk);
    EXPECT_EQ(changes.getParameterCount(), 5);
    changes.clear();
    EXPECT_EQ(changes.getParameterCount(), 0);
    changes.addPoint(7, 0, 1.0);
    ASSERT_EQ(changes.getParameterCount(), 1);
    EXPECT_EQ(changes.getParameterData(0)->getParameterId(), 7u);
    EXPECT_EQ(changes.getParameterData(0)->getPointCount(), 1);
}

TEST(HostParameterChanges, FillingWithinTheReserveAndReadingAllocateNothing)
{
    ParameterChanges changes(8, 16);
    changes.addPoint(0, 0, 0.0); // first use of each queue outside the count
    changes.clear();
    test::AllocationCounter counter;
    for (int block = 0; block < 3; ++block) {
        changes.clear();
        for (Steinberg::Vst::ParamID id = 0; id < 8; ++id)
            for (int32 i = 0; i < 16; ++i)
                changes.addPoint(id, i, 0.5);
        int32 offset = 0;
        ParamValue value = 0.0;
        for (int32 q = 0; q < changes.getParameterCount(); ++q) {
            IParamValueQueue* queue = changes.getParameterData(q);
            for (int32 i = 0; i < queue->getPointCount(); ++i)
                queue->getPoint(i, offset, value);
        }
    }
    EXPECT_EQ(counter.allocations(), 0u);
}

TEST(HostParameterChanges, AnswersItsInterfacesAndCountsReferences)
{
    ParameterChanges changes;
    void* object = nullptr;
    ASSERT_EQ(changes.queryInterface(IParameterChanges::iid, &object), Steinberg::kResultOk);
    EXPECT_EQ(object, static_cast<IParameterChanges*>(&changes));
    ASSERT_EQ(changes.queryInterface(Steinberg::FUnknown::iid, &object), Steinberg::kResultOk);
    EXPECT_EQ(changes.queryInterface(IParamValueQueue::iid, &object), Steinberg::kNoInterface);
    EXPECT_EQ(object, nullptr);
    // Two references from the queries, one from the creator.
    EXPECT_EQ(changes.release(), 2u);
    EXPECT_EQ(changes.release(), 1u);

    // A queue's references count on the list that owns it.
    int32 index = 0;
    IParamValueQueue* queue = changes.addParameterData(3, index);
    ASSERT_EQ(queue->queryInterface(IParamValueQueue::iid, &object), Steinberg::kResultOk);
    EXPECT_EQ(object, queue);
    EXPECT_EQ(changes.addRef(), 3u);
    EXPECT_EQ(queue->release(), 2u);
    EXPECT_EQ(changes.release(), 1u);
}

TEST(HostParameterChanges, HeapObjectsGoWithTheirLastReference)
{
    {
        Steinberg::IPtr<IParamValueQueue> queue = Steinberg::owned(new ParameterValueQueue(1, 1));
        EXPECT_EQ(queue->addRef(), 2u);
        EXPECT_EQ(queue->release(), 1u);
        test::AllocationCounter counter;
        queue = nullptr;
        // The object and its point buffer.
        EXPECT_EQ(counter.deallocations(), 2u);
    }
    {
        Steinberg::IPtr<IParameterChanges> changes = Steinberg::owned(new ParameterChanges(1, 1));
        test::AllocationCounter counter;
        changes = nullptr;
        // The list, its queue table, the one reserved queue and its points.
        EXPECT_EQ(counter.deallocations(), 4u);
    }
}

} // namespace
} // namespace tarvel::host
