// One audio unit rendering another through the host calls, and event notification delivery.
#include <AudioToolbox/AudioToolbox.h>
#include <ComponentCall.h>
#include <gtest/gtest.h>

#include <vector>

namespace
{

using compat::ComponentArg;

constexpr UInt32 kMaxFrames = 64;
constexpr UInt32 kChannels = 2;

/* A minimal unit: a source writes a ramp, an effect pulls its input (from a connected unit or a
   render callback) and applies a gain; setting the gain posts a value-change event. */
struct FakeUnit
{
  ComponentInstance self = nullptr;
  bool isSource = false;
  Float32 gain = 1.f;
  AudioUnit source = nullptr;
  UInt32 sourceBus = 0;
  AURenderCallbackStruct callback{};
  float scratch[kChannels][kMaxFrames] = {};
  int renders = 0;
  Float64 lastSampleTime = -1;
};

/* A buffer list with room for kChannels buffers. The list is reached only through a pointer, so
   mBuffers is a trailing array that may run past its declared single element. */
struct StereoList
{
  alignas(AudioBufferList) unsigned char bytes[offsetof(AudioBufferList, mBuffers) + kChannels * sizeof(AudioBuffer)];
  AudioBufferList* List() { return reinterpret_cast<AudioBufferList*>(bytes); }
};

StereoList MakeList(UInt32 frames, float* left, float* right)
{
  StereoList l{};
  AudioBufferList* list = l.List();
  list->mNumberBuffers = kChannels;
  float* data[kChannels] = {left, right};
  for (UInt32 c = 0; c < kChannels; ++c)
  {
    list->mBuffers[c].mNumberChannels = 1;
    list->mBuffers[c].mDataByteSize = frames * sizeof(float);
    list->mBuffers[c].mData = data[c];
  }
  return l;
}

OSStatus Render(FakeUnit* u, AudioUnitRenderActionFlags* flags, const AudioTimeStamp* ts, UInt32 frames,
                AudioBufferList* io)
{
  if (frames > kMaxFrames || io->mNumberBuffers != kChannels) return kAudioUnitErr_TooManyFramesToProcess;
  ++u->renders;
  u->lastSampleTime = ts->mSampleTime;
  for (UInt32 c = 0; c < kChannels; ++c)
    if (!io->mBuffers[c].mData) io->mBuffers[c].mData = u->scratch[c];
  if (u->isSource)
  {
    for (UInt32 c = 0; c < kChannels; ++c)
      for (UInt32 i = 0; i < frames; ++i)
        static_cast<float*>(io->mBuffers[c].mData)[i] = static_cast<float>(ts->mSampleTime + i) * (c + 1);
    return noErr;
  }
  StereoList input = MakeList(frames, nullptr, nullptr);
  OSStatus err = noErr;
  if (u->source)
  {
    err = AudioUnitRender(u->source, flags, ts, u->sourceBus, frames, input.List());
  }
  else if (u->callback.inputProc)
  {
    input = MakeList(frames, u->scratch[0], u->scratch[1]);
    err = u->callback.inputProc(u->callback.inputProcRefCon, flags, ts, 0, frames, input.List());
  }
  else
  {
    return kAudioUnitErr_NoConnection;
  }
  if (err != noErr) return err;
  for (UInt32 c = 0; c < kChannels; ++c)
  {
    const float* in = static_cast<const float*>(input.List()->mBuffers[c].mData);
    float* out = static_cast<float*>(io->mBuffers[c].mData);
    for (UInt32 i = 0; i < frames; ++i) out[i] = in[i] * u->gain;
  }
  return noErr;
}

OSStatus SetProperty(FakeUnit* u, AudioUnitPropertyID id, const void* data)
{
  switch (id)
  {
    case kAudioUnitProperty_MakeConnection:
    {
      const auto* c = static_cast<const AudioUnitConnection*>(data);
      u->source = c->sourceAudioUnit;
      u->sourceBus = c->sourceOutputNumber;
      return noErr;
    }
    case kAudioUnitProperty_SetRenderCallback:
      u->callback = *static_cast<const AURenderCallbackStruct*>(data);
      return noErr;
    default: return kAudioUnitErr_InvalidProperty;
  }
}

OSStatus SetGain(FakeUnit* u, AudioUnitParameterID id, Float32 value)
{
  if (id != 0) return kAudioUnitErr_InvalidParameter;
  u->gain = value;
  AudioUnitEvent event{};
  event.mEventType = kAudioUnitEvent_ParameterValueChange;
  event.mArgument.mParameter = {reinterpret_cast<AudioUnit>(u->self), 0, kAudioUnitScope_Global, 0};
  return AUEventListenerNotify(nullptr, u, &event);
}

ComponentResult Entry(ComponentParameters* p, Handle storage, bool isSource)
{
  auto* u = reinterpret_cast<FakeUnit*>(storage);
  switch (p->what)
  {
    case kComponentOpenSelect:
    {
      auto* unit = new FakeUnit;
      unit->self = compat::ComponentSelf(p, 1);
      unit->isSource = isSource;
      SetComponentInstanceStorage(unit->self, reinterpret_cast<Handle>(unit));
      return noErr;
    }
    case kComponentCloseSelect: delete u; return noErr;
    case kAudioUnitRenderSelect:
      return Render(u, ComponentArg<AudioUnitRenderActionFlags*>(p, 0, 5), ComponentArg<const AudioTimeStamp*>(p, 1, 5),
                    ComponentArg<UInt32>(p, 3, 5), ComponentArg<AudioBufferList*>(p, 4, 5));
    case kAudioUnitSetPropertySelect:
      return SetProperty(u, ComponentArg<AudioUnitPropertyID>(p, 0, 5), ComponentArg<const void*>(p, 3, 5));
    case kAudioUnitGetParameterSelect: *ComponentArg<AudioUnitParameterValue*>(p, 3, 4) = u->gain; return noErr;
    case kAudioUnitSetParameterSelect:
      return SetGain(u, ComponentArg<AudioUnitParameterID>(p, 0, 5), ComponentArg<AudioUnitParameterValue>(p, 3, 5));
    default: return badComponentSelector;
  }
}

ComponentResult SourceEntry(ComponentParameters* p, Handle storage) { return Entry(p, storage, true); }
ComponentResult EffectEntry(ComponentParameters* p, Handle storage) { return Entry(p, storage, false); }

class AudioUnitGraphTest : public testing::Test
{
protected:
  void SetUp() override
  {
    sourceComponent = compat_RegisterAudioUnit(SourceEntry, kAudioUnitType_Generator, 0x72616D70, 0x54657374, "ramp");
    effectComponent = compat_RegisterAudioUnit(EffectEntry, kAudioUnitType_Effect, 0x6761696E, 0x54657374, "gain");
    ASSERT_EQ(compat::OpenAudioUnit(sourceComponent, &source), noErr);
    ASSERT_EQ(compat::OpenAudioUnit(effectComponent, &effect), noErr);
  }
  void TearDown() override
  {
    EXPECT_EQ(compat::CloseAudioUnit(effect), noErr);
    EXPECT_EQ(compat::CloseAudioUnit(source), noErr);
    UnregisterComponent(effectComponent);
    UnregisterComponent(sourceComponent);
  }
  FakeUnit* Unit(AudioUnit u) { return reinterpret_cast<FakeUnit*>(compat::StorageOf(u)); }

  OSStatus RenderEffect(Float64 sampleTime, UInt32 frames)
  {
    AudioTimeStamp ts{};
    ts.mSampleTime = sampleTime;
    ts.mFlags = kAudioTimeStampSampleTimeValid;
    AudioUnitRenderActionFlags flags = 0;
    StereoList out = MakeList(frames, left.data(), right.data());
    return AudioUnitRender(effect, &flags, &ts, 0, frames, out.List());
  }

  Component sourceComponent = nullptr, effectComponent = nullptr;
  AudioUnit source = nullptr, effect = nullptr;
  std::vector<float> left = std::vector<float>(kMaxFrames), right = std::vector<float>(kMaxFrames);
};

TEST_F(AudioUnitGraphTest, EffectRendersAConnectedSourceThroughTheHostCalls)
{
  AudioUnitConnection connection = {source, 0, 0};
  ASSERT_EQ(AudioUnitSetProperty(effect, kAudioUnitProperty_MakeConnection, kAudioUnitScope_Input, 0, &connection,
                                 sizeof(connection)),
            noErr);
  ASSERT_EQ(AudioUnitSetParameter(effect, 0, kAudioUnitScope_Global, 0, 0.5f, 0), noErr);
  ASSERT_EQ(RenderEffect(1000, 16), noErr);
  EXPECT_EQ(Unit(source)->renders, 1);
  EXPECT_EQ(Unit(source)->lastSampleTime, 1000);
  for (UInt32 i = 0; i < 16; ++i)
  {
    EXPECT_FLOAT_EQ(left[i], (1000.f + i) * 0.5f) << i;
    EXPECT_FLOAT_EQ(right[i], (1000.f + i) * 2.f * 0.5f) << i;
  }
  // The source's refusal reaches the effect's caller unchanged.
  EXPECT_EQ(RenderEffect(0, kMaxFrames + 1), kAudioUnitErr_TooManyFramesToProcess);
}

OSStatus ConstantInput(void* refCon, AudioUnitRenderActionFlags*, const AudioTimeStamp*, UInt32 bus, UInt32 frames,
                       AudioBufferList* io)
{
  ++*static_cast<int*>(refCon);
  for (UInt32 c = 0; c < io->mNumberBuffers; ++c)
    for (UInt32 i = 0; i < frames; ++i) static_cast<float*>(io->mBuffers[c].mData)[i] = 0.25f + static_cast<float>(bus);
  return noErr;
}

TEST_F(AudioUnitGraphTest, EffectPullsItsInputFromARenderCallback)
{
  int calls = 0;
  AURenderCallbackStruct cb = {ConstantInput, &calls};
  ASSERT_EQ(
    AudioUnitSetProperty(effect, kAudioUnitProperty_SetRenderCallback, kAudioUnitScope_Input, 0, &cb, sizeof(cb)),
    noErr);
  ASSERT_EQ(AudioUnitSetParameter(effect, 0, kAudioUnitScope_Global, 0, 2.f, 0), noErr);
  ASSERT_EQ(RenderEffect(0, kMaxFrames), noErr);
  EXPECT_EQ(calls, 1);
  EXPECT_FLOAT_EQ(left[kMaxFrames - 1], 0.5f);
  AudioUnitParameterValue gain = 0;
  ASSERT_EQ(AudioUnitGetParameter(effect, 0, kAudioUnitScope_Global, 0, &gain), noErr);
  EXPECT_EQ(gain, 2.f);
}

TEST_F(AudioUnitGraphTest, RequestsToAClosedOrMissingInstanceAreRefused)
{
  AudioUnit extra = nullptr;
  ASSERT_EQ(compat::OpenAudioUnit(effectComponent, &extra), noErr);
  ASSERT_EQ(compat::CloseAudioUnit(extra), noErr);
  float value = 0;
  EXPECT_EQ(AudioUnitGetParameter(extra, 0, 0, 0, &value), badComponentInstance);
  EXPECT_EQ(compat::CloseAudioUnit(extra), invalidComponentID);
  EXPECT_EQ(AudioUnitGetParameter(nullptr, 0, 0, 0, &value), badComponentInstance);
}

struct Received
{
  std::vector<AudioUnitEvent> events;
  std::vector<void*> senders;
  std::vector<AudioUnitParameterValue> values;
};

void Sink(void* userData, void* sendingObject, const AudioUnitEvent* event)
{
  auto* r = static_cast<Received*>(userData);
  r->events.push_back(*event);
  r->senders.push_back(sendingObject);
}

void EventListener(void* refCon, void*, const AudioUnitEvent* event, UInt64, AudioUnitParameterValue value)
{
  auto* r = static_cast<Received*>(refCon);
  r->events.push_back(*event);
  r->values.push_back(value);
}

TEST_F(AudioUnitGraphTest, SinksSeeEveryEventUntilRemoved)
{
  Received seen;
  compat_AddAUEventSink(Sink, &seen);
  compat_AddAUEventSink(Sink, &seen);  // installed once
  ASSERT_EQ(AudioUnitSetParameter(effect, 0, kAudioUnitScope_Global, 0, 0.25f, 0), noErr);
  ASSERT_EQ(seen.events.size(), 1u);
  EXPECT_EQ(seen.events[0].mEventType, static_cast<AudioUnitEventType>(kAudioUnitEvent_ParameterValueChange));
  EXPECT_EQ(seen.events[0].mArgument.mParameter.mAudioUnit, effect);
  EXPECT_EQ(seen.events[0].mArgument.mParameter.mParameterID, 0u);
  EXPECT_EQ(seen.senders[0], Unit(effect));

  AudioUnitParameter p = {effect, 7, kAudioUnitScope_Global, 0};
  ASSERT_EQ(AUParameterListenerNotify(nullptr, nullptr, &p), noErr);
  ASSERT_EQ(seen.events.size(), 2u);
  EXPECT_EQ(seen.events[1].mArgument.mParameter.mParameterID, 7u);

  compat_RemoveAUEventSink(Sink, &seen);
  AudioUnitSetParameter(effect, 0, kAudioUnitScope_Global, 0, 0.5f, 0);
  EXPECT_EQ(seen.events.size(), 2u);
}

TEST_F(AudioUnitGraphTest, ListenersGetMatchingEventsWithTheValueReadBack)
{
  Received heard;
  AUEventListenerRef listener = nullptr;
  ASSERT_EQ(
    AUEventListenerCreate(EventListener, &heard, CFRunLoopGetCurrent(), kCFRunLoopDefaultMode, 0.f, 0.f, &listener),
    noErr);
  AudioUnitEvent interest{};
  interest.mEventType = kAudioUnitEvent_ParameterValueChange;
  interest.mArgument.mParameter = {effect, 0, kAudioUnitScope_Global, 0};
  ASSERT_EQ(AUEventListenerAddEventType(listener, nullptr, &interest), noErr);

  ASSERT_EQ(AudioUnitSetParameter(effect, 0, kAudioUnitScope_Global, 0, 0.75f, 0), noErr);
  ASSERT_EQ(heard.values.size(), 1u);
  EXPECT_EQ(heard.values[0], 0.75f);

  // Other parameters, other event types and the listener's own notifications do not reach it.
  AudioUnitParameter other = {effect, 3, kAudioUnitScope_Global, 0};
  AUParameterListenerNotify(nullptr, nullptr, &other);
  AudioUnitEvent gesture = interest;
  gesture.mEventType = kAudioUnitEvent_BeginParameterChangeGesture;
  AUEventListenerNotify(nullptr, nullptr, &gesture);
  AUEventListenerNotify(listener, nullptr, &interest);
  EXPECT_EQ(heard.values.size(), 1u);

  ASSERT_EQ(AUEventListenerRemoveEventType(listener, nullptr, &interest), noErr);
  AudioUnitSetParameter(effect, 0, kAudioUnitScope_Global, 0, 0.5f, 0);
  EXPECT_EQ(heard.values.size(), 1u);
  EXPECT_EQ(AUListenerDispose(listener), noErr);
  EXPECT_EQ(AUListenerDispose(listener), paramErr);
}

}  // namespace
