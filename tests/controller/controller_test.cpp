// The edit controller driven directly, with a host context for messages and a
// peer that records what it is sent.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include "controller/controller.h"
#include "protocol/messages.h"
#include "pluginterfaces/vst/ivstcomponent.h"
#include "public.sdk/source/common/memorystream.h"
#include "public.sdk/source/vst/hosting/hostclasses.h"

namespace tarvel {
namespace {

using namespace Steinberg;
using namespace Steinberg::Vst;

class RecordingPeer : public IConnectionPoint {
public:
    tresult PLUGIN_API connect(IConnectionPoint*) override { return kResultOk; }
    tresult PLUGIN_API disconnect(IConnectionPoint*) override { return kResultOk; }
    tresult PLUGIN_API notify(IMessage* message) override
    {
        ids.emplace_back(message->getMessageID());
        double value = 0.0;
        if (message->getAttributes()->getFloat(messages::speedValue, value) == kResultTrue)
            speeds.push_back(value);
        return kResultOk;
    }
    DECLARE_FUNKNOWN_METHODS
    std::vector<std::string> ids;
    std::vector<double> speeds;
};
// The SDK's macro hands its int32 reference count out as uint32.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wsign-conversion"
IMPLEMENT_FUNKNOWN_METHODS(RecordingPeer, IConnectionPoint, IConnectionPoint::iid)
#pragma GCC diagnostic pop

class RecordingHandler : public IComponentHandler {
public:
    tresult PLUGIN_API beginEdit(ParamID) override { ++begins; return kResultOk; }
    tresult PLUGIN_API performEdit(ParamID id, ParamValue value) override
    {
        edits.emplace_back(id, value);
        return kResultOk;
    }
    tresult PLUGIN_API endEdit(ParamID) override { ++ends; return kResultOk; }
    tresult PLUGIN_API restartComponent(int32 flags) override
    {
        restarts.push_back(flags);
        return kResultOk;
    }
    DECLARE_FUNKNOWN_METHODS
    int begins = 0, ends = 0;
    std::vector<std::pair<ParamID, ParamValue>> edits;
    std::vector<int32> restarts;
};
// The SDK's macro hands its int32 reference count out as uint32.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wsign-conversion"
IMPLEMENT_FUNKNOWN_METHODS(RecordingHandler, IComponentHandler, IComponentHandler::iid)
#pragma GCC diagnostic pop

IPtr<MemoryStream> streamOf(const std::string& text)
{
    auto stream = owned(new MemoryStream);
    const auto length = static_cast<uint32>(text.size());
    unsigned char word[4] = {static_cast<unsigned char>(length), 0, 0, 0};
    stream->write(word, 4, nullptr);
    stream->write(const_cast<char*>(text.data()), static_cast<int32>(text.size()), nullptr);
    stream->seek(0, IBStream::kIBSeekSet, nullptr);
    return stream;
}

struct ControllerFixture : testing::Test {
    ControllerFixture()
    {
        EXPECT_EQ(controller->initialize(host), kResultOk);
        controller->connect(peer);
        controller->setComponentHandler(handler);
    }
    ~ControllerFixture() override
    {
        controller->setComponentHandler(nullptr);
        controller->disconnect(peer);
        controller->terminate();
    }
    IPtr<HostApplication> host = owned(new HostApplication);
    IPtr<RecordingPeer> peer = owned(new RecordingPeer);
    IPtr<RecordingHandler> handler = owned(new RecordingHandler);
    IPtr<Controller> controller = owned(new Controller);
};

TEST_F(ControllerFixture, RegistersTheFiveParametersOnce)
{
    EXPECT_EQ(controller->getParameterCount(), 5);
    EXPECT_EQ(controller->initialize(host), kResultOk);
    EXPECT_EQ(controller->getParameterCount(), 5);
    ParameterInfo info{};
    ASSERT_EQ(controller->getParameterInfo(Bypass, info), kResultTrue);
    EXPECT_EQ(info.flags, ParameterInfo::kCanAutomate | ParameterInfo::kIsBypass);
    EXPECT_EQ(info.stepCount, 1);
    ASSERT_EQ(controller->getParameterInfo(Target, info), kResultTrue);
    EXPECT_EQ(info.defaultNormalizedValue, 0.5);
    String128 text{};
    ASSERT_EQ(controller->getParamStringByValue(Ratio, 0.5, text), kResultOk);
    EXPECT_EQ(std::u16string(reinterpret_cast<const char16_t*>(text)), u"2.00");
    EXPECT_EQ(controller->getParamStringByValue(7, 0.5, text), kResultFalse);
}

TEST_F(ControllerFixture, ForwardsSpeedChangesOnly)
{
    controller->setParamNormalized(Speed, 1.0);
    controller->setParamNormalized(Speed, 1.0);
    controller->setParamNormalized(Ratio, 0.2);
    EXPECT_EQ(peer->speeds, std::vector<double>{1.0});
    controller->setParamNormalized(Speed, 0.3);
    controller->setParamNormalized(Speed, 0.3);
    // 0.3 narrowed to single precision no longer equals 0.3.
    EXPECT_EQ(peer->speeds.size(), 3u);
    EXPECT_EQ(controller->setParamNormalized(7, 0.5), kResultFalse);
}

TEST_F(ControllerFixture, MirrorsTheProcessorStateAndKeepsItsOwn)
{
    ASSERT_EQ(controller->setComponentState(streamOf("{}")), kResultOk);
    EXPECT_EQ(peer->speeds, std::vector<double>{1.0});
    for (int32 id = 0; id < ParameterCount; ++id)
        EXPECT_EQ(controller->getParamNormalized(static_cast<ParamID>(id)), Parameters{}[id]);

    ASSERT_EQ(controller->setState(streamOf("{\"ratio\":0.25,\"target\":0.75}")), kResultOk);
    EXPECT_EQ(handler->begins, 5);
    EXPECT_EQ(handler->ends, 5);
    ASSERT_EQ(handler->edits.size(), 5u);
    EXPECT_EQ(handler->edits[Ratio].second, 0.25);
    MemoryStream saved;
    ASSERT_EQ(controller->getState(&saved), kResultOk);
    const std::string bytes(saved.getData(), static_cast<std::size_t>(saved.getSize()));
    EXPECT_NE(bytes.find("\"ratio\":0.25"), std::string::npos);

    handler->edits.clear();
    EXPECT_EQ(controller->setState(streamOf("[]")), kResultFalse);
    EXPECT_EQ(controller->setComponentState(nullptr), kResultFalse);
    EXPECT_TRUE(handler->edits.empty());
    EXPECT_EQ(controller->getParamNormalized(Ratio), 0.25);
}

// Found by fuzzing the VST 2 and CLAP containers: a state may carry any
// number, and the edit that reported it outside 0..1 reached the processor
// unclamped while the controller saved the clamped value, so a saved state
// loaded and saved again came out different.
TEST_F(ControllerFixture, RestoredValuesAreReportedAsTheControllerHoldsThem)
{
    ASSERT_EQ(controller->setState(streamOf("{\"speed\":5,\"target\":-2.5,\"ratio\":0.25}")), kResultOk);
    ASSERT_EQ(handler->edits.size(), 5u);
    for (const auto& [id, value] : handler->edits) {
        EXPECT_EQ(value, controller->getParamNormalized(id)) << "parameter " << id;
        EXPECT_GE(value, 0.0) << "parameter " << id;
        EXPECT_LE(value, 1.0) << "parameter " << id;
    }
    EXPECT_EQ(handler->edits[Speed].second, 1.0);
    EXPECT_EQ(handler->edits[Target].second, 0.0);
    EXPECT_EQ(handler->edits[Ratio].second, 0.25);
    // The processor takes the Speed it is sent as its own.
    EXPECT_EQ(peer->speeds, std::vector<double>{1.0});
}

// The text a host lets its user type, as the parameter shows its values.
// Found by fuzzing: the SDK's reading took a typed number for the
// normalised value itself, so "-20" typed as a target set -40 LUFS.
TEST_F(ControllerFixture, TypedTextReadsAsTheDisplayedValue)
{
    const auto read = [&](ParamID id, const std::u16string& typed) -> std::optional<double> {
        String128 text{};
        std::copy(typed.begin(), typed.end(), text);
        ParamValue value = -1.0;
        if (controller->getParamValueByString(id, text, value) != kResultOk)
            return std::nullopt;
        return value;
    };
    EXPECT_EQ(read(Target, u"-20"), 0.5);
    EXPECT_EQ(read(Target, u" -30.00 LUFS "), 0.25);
    EXPECT_EQ(read(Ratio, u"2.00"), 0.5);
    EXPECT_EQ(read(Bypass, u"On"), 1.0);
    EXPECT_EQ(read(Speed, u"fast"), 0.0);
    for (const auto& [id, typed] : std::vector<std::pair<ParamID, std::u16string>>{
             {Target, u"5"}, {Target, u"-20 dB"}, {Ratio, u"0.5"}, {Ratio, u"nan"}, {Bypass, u"maybe"},
             {Target, u"\u00e9"}, {Target, u""}}) {
        EXPECT_EQ(read(id, typed), std::nullopt) << "parameter " << id;
    }
    // Every value's own text reads back to a value showing the same text.
    for (int32 id = 0; id < ParameterCount; ++id)
        for (const double value : {0.0, 0.1, 0.37, 0.5, 0.81, 1.0}) {
            String128 shown{};
            ASSERT_EQ(controller->getParamStringByValue(static_cast<ParamID>(id), value, shown), kResultOk);
            const auto readBack = read(static_cast<ParamID>(id), std::u16string(reinterpret_cast<const char16_t*>(shown)));
            ASSERT_TRUE(readBack) << "parameter " << id << " at " << value;
            String128 again{};
            controller->getParamStringByValue(static_cast<ParamID>(id), *readBack, again);
            EXPECT_EQ(std::u16string(reinterpret_cast<const char16_t*>(again)),
                      std::u16string(reinterpret_cast<const char16_t*>(shown)));
        }
}

TEST_F(ControllerFixture, AnswersTheProcessorsMessages)
{
    auto message = owned(new HostMessage);
    message->setMessageID(messages::meterReading);
    EXPECT_EQ(controller->notify(message), kResultFalse);
    message->getAttributes()->setFloat(messages::meterValue, -23.5);
    EXPECT_EQ(controller->notify(message), kResultOk);
    EXPECT_EQ(controller->meterValue(), -23.5);

    auto active = owned(new HostMessage);
    active->setMessageID(vantle::vst::messages::processorActive);
    EXPECT_EQ(controller->notify(active), kResultFalse);
    active->getAttributes()->setInt(vantle::vst::messages::processorActiveFlag, 5);
    controller->notify(active);
    EXPECT_TRUE(controller->isProcessorActive());
    active->getAttributes()->setInt(vantle::vst::messages::processorActiveFlag, 0);
    controller->notify(active);
    EXPECT_FALSE(controller->isProcessorActive());

    auto latency = owned(new HostMessage);
    latency->setMessageID(vantle::vst::messages::latencyChanged);
    EXPECT_EQ(controller->notify(latency), kResultOk);
    EXPECT_EQ(handler->restarts, std::vector<int32>{kLatencyChanged});
    controller->setComponentHandler(nullptr);
    EXPECT_EQ(controller->notify(latency), kResultOk);
    EXPECT_EQ(controller->notify(nullptr), kInvalidArgument);
    IPlugView* view = controller->createView(ViewType::kEditor);
    ASSERT_NE(view, nullptr);
    view->release();
    EXPECT_EQ(controller->createView("sidebar"), nullptr);
    EXPECT_EQ(controller->createView(nullptr), nullptr);
}

} // namespace
} // namespace tarvel
