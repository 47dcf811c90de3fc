// The adapter around small recording components: what it calls on the VST 3
// side, in which order, and what it tells the VST 2 host.

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "pluginterfaces/base/ibstream.h"
#include "pluginterfaces/vst/ivsthostapplication.h"
#include "public.sdk/source/vst/vsteditcontroller.h"
#include "sdk/audio_effect.h"
#include "sdk/plugin_factory.h"
#include "sdk/vst2/vst2_wrapper.h"

// The plug-in's unload hook, which the effect runs when it is closed.
static int deinitCount = 0;
bool DeinitModule()
{
    ++deinitCount;
    return true;
}

namespace Steinberg::Vst {
namespace {

using namespace vst2;

const FUID processorClass(0x11111111, 0x22222222, 0x33333333, 0x44444444);
const FUID controllerClass(0x55555555, 0x66666666, 0x77777777, 0x88888888);
constexpr ParamID gainId = 10, modeId = 20;

std::vector<std::string> events;

struct Point {
    ParamID id;
    int32 offset;
    ParamValue value;
};
std::vector<Point> points;
uint32 reportedLatency = 100;

std::string text(IBStream* stream)
{
    std::string out;
    char c = 0;
    int32 read = 0;
    while (stream->read(&c, 1, &read) == kResultOk && read == 1)
        out.push_back(c);
    return out;
}

void write(IBStream* stream, const std::string& s)
{
    stream->write(const_cast<char*>(s.data()), static_cast<int32>(s.size()), nullptr);
}

class RecordingProcessor : public AudioEffect {
public:
    tresult PLUGIN_API initialize(FUnknown* context) override
    {
        const tresult result = AudioEffect::initialize(context);
        addAudioInput(STR16("in"), SpeakerArr::kStereo);
        addAudioOutput(STR16("out"), SpeakerArr::kStereo);
        return result;
    }
    tresult PLUGIN_API terminate() override
    {
        events.push_back("processor terminate");
        return AudioEffect::terminate();
    }
    tresult PLUGIN_API setupProcessing(ProcessSetup& setup) override
    {
        events.push_back("setup " + std::to_string(static_cast<int>(setup.sampleRate)) + " " +
                         std::to_string(setup.maxSamplesPerBlock) + " " +
                         (setup.symbolicSampleSize == kSample64 ? "64" : "32"));
        return AudioEffect::setupProcessing(setup);
    }
    tresult PLUGIN_API setActive(TBool on) override
    {
        events.push_back(on ? "active" : "inactive");
        return kResultOk;
    }
    tresult PLUGIN_API setProcessing(TBool on) override
    {
        events.push_back(on ? "processing" : "not processing");
        return kResultOk;
    }
    tresult PLUGIN_API process(ProcessData& data) override
    {
        events.push_back("process " + std::to_string(data.numSamples));
        if (IParameterChanges* changes = data.inputParameterChanges) {
            for (int32 q = 0; q < changes->getParameterCount(); ++q) {
                IParamValueQueue* queue = changes->getParameterData(q);
                for (int32 i = 0; i < queue->getPointCount(); ++i) {
                    Point p{queue->getParameterId(), 0, 0.0};
                    queue->getPoint(i, p.offset, p.value);
                    points.push_back(p);
                }
            }
        }
        return kResultOk;
    }
    uint32 PLUGIN_API getLatencySamples() override { return reportedLatency; }
    tresult PLUGIN_API canProcessSampleSize(int32 size) override
    {
        return size == kSample32 || size == kSample64 ? kResultOk : kResultFalse;
    }
    tresult PLUGIN_API getState(IBStream* stream) override
    {
        write(stream, state);
        return kResultOk;
    }
    tresult PLUGIN_API setState(IBStream* stream) override
    {
        const std::string loaded = text(stream);
        events.push_back("processor setState " + loaded);
        if (loaded.rfind("P", 0) != 0)
            return kResultFalse;
        state = loaded;
        return kResultOk;
    }
    tresult PLUGIN_API notify(IMessage* message) override
    {
        events.push_back(std::string("processor heard ") + message->getMessageID());
        return kResultOk;
    }

    std::string state = "P0";
};

class RecordingController : public EditController {
public:
    static RecordingController* last;

    RecordingController() { last = this; }
    ~RecordingController() override
    {
        if (last == this)
            last = nullptr;
    }

    tresult PLUGIN_API initialize(FUnknown* context) override
    {
        const tresult result = EditController::initialize(context);
        parameters.addParameter(STR16("Gain"), STR16("dB"), 0, 0.5, ParameterInfo::kCanAutomate, gainId);
        parameters.addParameter(STR16("Mode"), STR16(""), 1, 0.0, 0, modeId);
        return result;
    }
    tresult PLUGIN_API terminate() override
    {
        events.push_back("controller terminate");
        return EditController::terminate();
    }
    tresult PLUGIN_API setComponentState(IBStream* stream) override
    {
        events.push_back("controller setComponentState " + text(stream));
        return kResultOk;
    }
    tresult PLUGIN_API setState(IBStream* stream) override
    {
        const std::string loaded = text(stream);
        events.push_back("controller setState " + loaded);
        state = loaded;
        // As a controller restoring its state does, and as a VST 2 host
        // must not hear as automation.
        beginEdit(gainId);
        performEdit(gainId, 0.125);
        endEdit(gainId);
        return kResultOk;
    }
    tresult PLUGIN_API getState(IBStream* stream) override
    {
        write(stream, state);
        return kResultOk;
    }

    std::string state = "C0";
};
RecordingController* RecordingController::last = nullptr;

FUnknown* createProcessor(void*)
{
    auto* processor = new RecordingProcessor;
    processor->setControllerClass(controllerClass);
    return static_cast<IAudioProcessor*>(processor);
}

FUnknown* createController(void*) { return static_cast<IEditController*>(new RecordingController); }

IPluginFactory* makeFactory()
{
    PFactoryInfo info("Test Vendor", "", "", PFactoryInfo::kUnicode);
    auto* factory = new CPluginFactory(info);
    TUID id;
    processorClass.toTUID(id);
    PClassInfo2 processor(id, PClassInfo::kManyInstances, kVstAudioEffectClass, "Recorder", 0, "Fx|Reverb", nullptr,
                          "2.0.1", "VST 3.7.2");
    factory->registerClass(&processor, createProcessor);
    controllerClass.toTUID(id);
    PClassInfo2 controller(id, PClassInfo::kManyInstances, kVstComponentControllerClass, "RecorderController", 0,
                           "", nullptr, "2.0.1", "VST 3.7.2");
    factory->registerClass(&controller, createController);
    return factory;
}

struct HostCall {
    VstInt32 opcode, index;
    float opt;
};
std::vector<HostCall> hostCalls;

VstIntPtr VST2_CALLBACK recordingHost(AEffect*, VstInt32 opcode, VstInt32 index, VstIntPtr, void* ptr, float opt)
{
    hostCalls.push_back({opcode, index, opt});
    if (opcode == audioMasterGetProductString && ptr) {
        std::strcpy(static_cast<char*>(ptr), "Recording Host");
        return 1;
    }
    return opcode == audioMasterVersion ? 2400 : 0;
}

std::vector<HostCall> callsOf(VstInt32 opcode)
{
    std::vector<HostCall> out;
    for (const HostCall& call : hostCalls)
        if (call.opcode == opcode)
            out.push_back(call);
    return out;
}

class AdapterTest : public testing::Test {
protected:
    void SetUp() override
    {
        events.clear();
        points.clear();
        hostCalls.clear();
        deinitCount = 0;
        reportedLatency = 100;
        TUID id;
        processorClass.toTUID(id);
        effect = Vst2Wrapper::create(makeFactory(), id, 1234, recordingHost);
        ASSERT_NE(effect, nullptr);
        controller = RecordingController::last;
        ASSERT_NE(controller, nullptr);
        events.clear();
    }
    void TearDown() override
    {
        if (effect)
            dispatch(effClose);
    }

    VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr, float opt = 0)
    {
        return effect->dispatcher(effect, opcode, index, value, ptr, opt);
    }
    void resume()
    {
        dispatch(effSetSampleRate, 0, 0, nullptr, 96000.0f);
        dispatch(effSetBlockSize, 0, 256);
        dispatch(effMainsChanged, 0, 1);
    }
    void processBlock()
    {
        float left[16] = {}, right[16] = {};
        float* channels[2] = {left, right};
        effect->processReplacing(effect, channels, channels, 16);
    }

    AEffect* effect = nullptr;
    RecordingController* controller = nullptr;
};

TEST_F(AdapterTest, DescribesTheClassAndItsParameters)
{
    EXPECT_EQ(effect->uniqueID, 1234);
    EXPECT_EQ(effect->numParams, 2);
    EXPECT_EQ(effect->version, 2010);
    EXPECT_EQ(dispatch(effGetPlugCategory), kPlugCategRoomFx);
    char vendor[64] = {};
    dispatch(effGetVendorString, 0, 0, vendor);
    EXPECT_STREQ(vendor, "Test Vendor");
    EXPECT_EQ(effect->initialDelay, 100);
    EXPECT_EQ(dispatch(effCanBeAutomated, 0), 1);
    EXPECT_EQ(dispatch(effCanBeAutomated, 1), 0);
}

TEST_F(AdapterTest, ResumeAndSuspendDriveTheComponentsInVst3Order)
{
    resume();
    EXPECT_EQ(events, (std::vector<std::string>{"setup 96000 256 32", "active", "processing"}));
    events.clear();
    EXPECT_EQ(dispatch(effMainsChanged, 0, 1), 1);
    EXPECT_TRUE(events.empty()) << "a second resume changes nothing";
    dispatch(effMainsChanged, 0, 0);
    EXPECT_EQ(events, (std::vector<std::string>{"not processing", "inactive"}));
    events.clear();
    dispatch(effMainsChanged, 0, 0);
    EXPECT_TRUE(events.empty());

    ASSERT_EQ(dispatch(effSetProcessPrecision, 0, kVstProcessPrecision64), 1);
    dispatch(effMainsChanged, 0, 1);
    EXPECT_EQ(events.front(), "setup 96000 256 64");
    EXPECT_EQ(dispatch(effSetProcessPrecision, 0, kVstProcessPrecision32), 0) << "not while running";
}

TEST_F(AdapterTest, ValuesSetWhileSuspendedArriveBeforeTheProcessorIsSetUpAgain)
{
    effect->setParameter(effect, 0, 0.25f);
    resume();
    EXPECT_EQ(events, (std::vector<std::string>{"setup 96000 256 32", "active", "processing", "process 0",
                                                "not processing", "inactive", "setup 96000 256 32", "active",
                                                "processing"}));
    ASSERT_EQ(points.size(), 1u);
    EXPECT_EQ(points[0].id, gainId);
    EXPECT_EQ(points[0].value, 0.25);
    points.clear();
    processBlock();
    EXPECT_TRUE(points.empty()) << "delivered once";
}

TEST_F(AdapterTest, SetParameterBecomesOnePointAtOffsetZeroOfTheNextBlock)
{
    resume();
    effect->setParameter(effect, 0, 0.1f);
    effect->setParameter(effect, 0, 0.3f);
    effect->setParameter(effect, 1, 1.0f);
    EXPECT_FLOAT_EQ(effect->getParameter(effect, 0), 0.3f);
    EXPECT_EQ(controller->getParamNormalized(gainId), 0.5) << "not on the caller's thread";
    processBlock();
    ASSERT_EQ(points.size(), 2u);
    EXPECT_EQ(points[0].id, gainId);
    EXPECT_EQ(points[0].offset, 0);
    EXPECT_EQ(points[0].value, static_cast<double>(0.3f));
    EXPECT_EQ(points[1].id, modeId);
    points.clear();
    processBlock();
    EXPECT_TRUE(points.empty());
    // The controller hears the newest value at the next user-interface call.
    dispatch(effEditIdle);
    EXPECT_EQ(controller->getParamNormalized(gainId), static_cast<double>(0.3f));
    EXPECT_EQ(controller->getParamNormalized(modeId), 1.0);
}

TEST_F(AdapterTest, ControllerEditsAreReportedToTheHostAndReachTheProcessor)
{
    resume();
    controller->beginEdit(gainId);
    controller->performEdit(gainId, 0.625);
    controller->endEdit(gainId);
    controller->performEdit(99, 0.5);
    ASSERT_EQ(callsOf(audioMasterBeginEdit).size(), 1u);
    EXPECT_EQ(callsOf(audioMasterBeginEdit)[0].index, 0);
    ASSERT_EQ(callsOf(audioMasterAutomate).size(), 1u);
    EXPECT_EQ(callsOf(audioMasterAutomate)[0].index, 0);
    EXPECT_EQ(callsOf(audioMasterAutomate)[0].opt, 0.625f);
    ASSERT_EQ(callsOf(audioMasterEndEdit).size(), 1u);
    EXPECT_EQ(effect->getParameter(effect, 0), 0.625f);
    processBlock();
    ASSERT_EQ(points.size(), 1u);
    EXPECT_EQ(points[0].value, 0.625);
}

TEST_F(AdapterTest, LatencyRestartSetsInitialDelayAndTellsTheHost)
{
    reportedLatency = 321;
    controller->getComponentHandler()->restartComponent(kLatencyChanged);
    EXPECT_EQ(effect->initialDelay, 321);
    EXPECT_EQ(callsOf(audioMasterIOChanged).size(), 1u);
    controller->getComponentHandler()->restartComponent(kParamValuesChanged);
    EXPECT_EQ(callsOf(audioMasterIOChanged).size(), 1u);
    EXPECT_EQ(callsOf(audioMasterUpdateDisplay).size(), 1u);
}

TEST_F(AdapterTest, ComponentsTalkThroughTheirConnectionWithHostMessages)
{
    EXPECT_EQ(controller->sendMessageID("hello"), kResultOk);
    EXPECT_EQ(events, (std::vector<std::string>{"processor heard hello"}));

    FUnknownPtr<IHostApplication> context(controller->getHostContext());
    ASSERT_TRUE(context);
    String128 name{};
    ASSERT_EQ(context->getName(name), kResultOk);
    EXPECT_EQ(std::u16string(reinterpret_cast<const char16_t*>(name)), u"Recording Host");
    void* object = nullptr;
    TUID unknown = {};
    EXPECT_EQ(context->createInstance(unknown, unknown, &object), kResultFalse);
    EXPECT_EQ(object, nullptr);
}

TEST_F(AdapterTest, ChunkRestoresProcessorThenControllerAndRefusalsStopEarly)
{
    void* data = nullptr;
    const VstIntPtr size = dispatch(effGetChunk, 0, 0, &data);
    ASSERT_GT(size, 0);
    const std::string saved(static_cast<const char*>(data), static_cast<std::size_t>(size));
    EXPECT_NE(saved.find("P0"), std::string::npos);
    EXPECT_NE(saved.find("C0"), std::string::npos);

    events.clear();
    ASSERT_EQ(dispatch(effSetChunk, 0, size, data), 1);
    EXPECT_EQ(events, (std::vector<std::string>{"processor setState P0", "controller setComponentState P0",
                                                "controller setState C0"}));
    EXPECT_TRUE(callsOf(audioMasterAutomate).empty());
    EXPECT_TRUE(callsOf(audioMasterBeginEdit).empty());
    resume();
    ASSERT_EQ(points.size(), 1u) << "the controller's restored values still reach the processor";
    EXPECT_EQ(points[0].value, 0.125);

    // A chunk whose processor state is refused reaches no one else.
    std::string refused = saved;
    refused[8] = 'Q';
    events.clear();
    EXPECT_EQ(dispatch(effSetChunk, 0, static_cast<VstIntPtr>(refused.size()), refused.data()), 0);
    EXPECT_EQ(events, (std::vector<std::string>{"processor setState Q0"}));
}

TEST_F(AdapterTest, ClosingStopsTerminatesAndRunsDeinitModuleOnce)
{
    resume();
    events.clear();
    dispatch(effClose);
    effect = nullptr;
    EXPECT_EQ(events, (std::vector<std::string>{"not processing", "inactive", "controller terminate",
                                                "processor terminate"}));
    EXPECT_EQ(deinitCount, 1);
}

TEST(AdapterCreation, UnknownClassOrMissingArgumentsGiveNullAndReleaseTheFactory)
{
    deinitCount = 0;
    TUID unknown = {};
    IPluginFactory* factory = makeFactory();
    factory->addRef();
    EXPECT_EQ(Vst2Wrapper::create(factory, unknown, 1, recordingHost), nullptr);
    EXPECT_EQ(factory->release(), 0u) << "the adapter dropped its reference";

    TUID id;
    processorClass.toTUID(id);
    EXPECT_EQ(Vst2Wrapper::create(makeFactory(), id, 1, nullptr), nullptr);
    EXPECT_EQ(Vst2Wrapper::create(nullptr, id, 1, recordingHost), nullptr);
    EXPECT_EQ(deinitCount, 0) << "only an effect that was created owns a module reference";
}

} // namespace
} // namespace Steinberg::Vst
