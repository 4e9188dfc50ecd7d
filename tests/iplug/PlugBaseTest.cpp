#include "TestPlug.h"

#include <gtest/gtest.h>
#include <sys/utsname.h>

#include <algorithm>
#include <atomic>
#include <map>
#include <string>
#include <thread>
#include <vector>

namespace
{
struct IOCase
{
  const char* name;
  int nIn, nOut;
  bool legal;
};

class LegalIOTable : public testing::TestWithParam<IOCase>
{
};

TEST_P(LegalIOTable, MatchesPairsWithWildcards)
{
  TestPlug plug;
  EXPECT_EQ(plug.LegalIO(GetParam().nIn, GetParam().nOut), GetParam().legal);
}

INSTANTIATE_TEST_SUITE_P(Pairs, LegalIOTable,
                         testing::Values(IOCase{"Mono", 1, 1, true}, IOCase{"Stereo", 2, 2, true},
                                         IOCase{"StereoInAnyOut", 2, -1, true}, IOCase{"AnyInMonoOut", -1, 1, true},
                                         IOCase{"BothWild", -1, -1, true}, IOCase{"MonoToStereo", 1, 2, false},
                                         IOCase{"None", 0, 0, false}, IOCase{"ThreeIn", 3, -1, false}),
                         [](const testing::TestParamInfo<IOCase>& i) { return std::string(i.param.name); });

TEST(ChannelIO, ParsingSizesTheChannelLists)
{
  const struct
  {
    const char* io;
    int nLegal, nIn, nOut;
  } rows[] = {{"1-1 2-2", 2, 2, 2}, {"0-2", 1, 0, 2}, {"2-1 1-4 3-3", 3, 3, 4}, {"x-2", 1, 0, 0}};
  for (const auto& r : rows)
  {
    TestPlug::Options o;
    o.channelIO = r.io;
    TestPlug plug(o);
    EXPECT_EQ(plug.NLegalIOs(), r.nLegal) << r.io;
    EXPECT_EQ(plug.NInChannels(), r.nIn) << r.io;
    EXPECT_EQ(plug.NOutChannels(), r.nOut) << r.io;
  }
  TestPlug plug;
  int in = 0, out = 0;
  EXPECT_TRUE(plug.GetLegalIO(1, &in, &out));
  EXPECT_EQ(in, 2);
  EXPECT_EQ(out, 2);
  EXPECT_FALSE(plug.GetLegalIO(2, &in, &out));
  EXPECT_FALSE(plug.IsInChannelConnected(2));
  EXPECT_FALSE(plug.IsOutChannelConnected(-1));
}

TEST(Buffers, FloatAttachWithOneConnectedInput)
{
  TestPlug plug;
  plug.SetBlockSize(4);
  plug.SetInputChannelConnections(0, 2, false);
  plug.SetInputChannelConnections(1, 1, true);  // only the second input is connected
  plug.SetOutputChannelConnections(0, 2, true);

  double* scratch0 = plug.GetInputSlots()[0];
  float host[4] = {1.5f, -2.f, 3.f, 4.25f};
  float* hostIn[] = {host};
  plug.AttachInputBuffers(0, 2, hostIn, 4);

  EXPECT_EQ(plug.GetInputSlots()[0], scratch0);  // the unconnected slot keeps its scratch
  const double* widened = plug.GetInputSlots()[1];
  ASSERT_NE(widened, nullptr);
  for (int s = 0; s < 4; ++s) EXPECT_EQ(widened[s], host[s]);
  for (int s = 0; s < 4; ++s) EXPECT_EQ(scratch0[s], 0.0);

  float out0[4] = {9, 9, 9, 9}, out1[4] = {9, 9, 9, 9};
  float* hostOut[] = {out0, out1};
  plug.AttachOutputBuffers(0, 2, hostOut);
  plug.ProcessBuffers(0.0f, 4);  // default copy: output j = input j
  for (int s = 0; s < 4; ++s)
  {
    EXPECT_EQ(out0[s], 0.0f);
    EXPECT_EQ(out1[s], host[s]);
  }
  plug.ProcessBuffersAccumulating(0.0f, 4);
  for (int s = 0; s < 4; ++s) EXPECT_EQ(out1[s], 2 * host[s]);
}

TEST(Buffers, DoubleAttachAndPassThroughBypassesTheProcessor)
{
  TestPlug plug;
  plug.SetBlockSize(3);
  plug.SetInputChannelConnections(0, 2, true);
  plug.SetOutputChannelConnections(0, 2, true);
  int processed = 0;
  plug.process = [&](double** in, double** out, int n) {
    ++processed;
    for (int c = 0; c < 2; ++c)
      for (int s = 0; s < n; ++s) out[c][s] = in[c][s] * 2;
  };
  double l[3] = {1, 2, 3}, r[3] = {4, 5, 6}, ol[3] = {}, orr[3] = {};
  double* ins[] = {l, r};
  double* outs[] = {ol, orr};
  plug.AttachInputBuffers(0, 2, ins, 3);
  plug.AttachOutputBuffers(0, 2, outs);
  plug.ProcessBuffers(0.0, 3);
  EXPECT_EQ(processed, 1);
  EXPECT_EQ(orr[2], 12.0);
  plug.PassThroughBuffers(0.0, 3);
  EXPECT_EQ(processed, 1);
  EXPECT_EQ(ol[0], 1.0);
  EXPECT_EQ(orr[2], 6.0);

  float fl[3] = {1, 2, 3};
  float* fins[] = {fl};
  float fo[3] = {7, 7, 7};
  float* fouts[] = {fo};
  plug.SetInputChannelConnections(1, 1, false);
  plug.SetOutputChannelConnections(1, 1, false);
  plug.AttachInputBuffers(0, 2, fins, 3);
  plug.AttachOutputBuffers(0, 2, fouts);
  plug.PassThroughBuffers(0.0f, 3);
  EXPECT_EQ(processed, 1);
  EXPECT_EQ(fo[2], 3.0f);
}

TEST(Buffers, DefaultCopyZeroesOutputsWithoutInput)
{
  TestPlug::Options o;
  o.channelIO = "1-2";
  TestPlug plug(o);
  double in[2] = {3, 4}, o0[2] = {9, 9}, o1[2] = {9, 9};
  double* ins[] = {in};
  double* outs[] = {o0, o1};
  plug.ProcessDoubleReplacing(ins, outs, 2);
  EXPECT_EQ(o0[1], 4.0);
  EXPECT_EQ(o1[0], 0.0);
  EXPECT_EQ(o1[1], 0.0);

  float fin[2] = {3, 4}, f0[2] = {9, 9}, f1[2] = {9, 9};
  float* fins[] = {fin};
  float* fouts[] = {f0, f1};
  plug.ProcessSingleReplacing(fins, fouts, 2);
  EXPECT_EQ(f0[0], 3.0f);
  EXPECT_EQ(f1[1], 0.0f);
}

TEST(Buffers, BlockSizeClearsOnlyOnChange)
{
  TestPlug plug;
  plug.SetBlockSize(8);
  double* scratch = plug.GetInputSlots()[0];
  scratch[3] = 5.0;
  plug.SetBlockSize(8);  // unchanged: nothing is cleared
  EXPECT_EQ(plug.GetInputSlots()[0][3], 5.0);
  plug.SetBlockSize(16);
  EXPECT_EQ(plug.GetBlockSize(), 16);
  EXPECT_EQ(plug.GetInputSlots()[0][3], 0.0);  // the slot follows the resized scratch
  plug.GetInputSlots()[0][15] = 1.0;
  plug.ZeroScratchBuffers();
  EXPECT_EQ(plug.GetInputSlots()[0][15], 0.0);
}

TEST(Buffers, MoreFramesThanTheBlockSizeStayInsideTheScratch)
{
  TestPlug plug;
  plug.SetBlockSize(4);
  plug.SetInputChannelConnections(0, 2, true);
  plug.SetOutputChannelConnections(0, 2, true);
  std::vector<float> in(64, 0.25f), o0(64, 0.f), o1(64, 0.f);
  float* ins[] = {in.data(), in.data()};
  float* outs[] = {o0.data(), o1.data()};
  plug.AttachInputBuffers(0, 2, ins, 64);
  plug.AttachOutputBuffers(0, 2, outs);
  plug.ProcessBuffers(0.0f, 64);
  EXPECT_EQ(o1[63], 0.25f);
}

TEST(Labels, ChannelAndBusLabels)
{
  TestPlug plug;
  plug.SetInputLabel(1, "right in");
  plug.SetInputLabel(5, "ignored");
  plug.SetOutputLabel(0, "left out");
  EXPECT_STREQ(plug.GetInputLabel(1), "right in");
  EXPECT_STREQ(plug.GetOutputLabel(0), "left out");
  EXPECT_EQ(plug.GetInputLabel(5), nullptr);

  plug.SetInputBusLabel(0, "input");
  plug.SetInputBusLabel(1, "aux input");
  plug.SetInputBusLabel(2, "ignored");
  ASSERT_EQ(plug.NInputBusLabels(), 2);
  EXPECT_STREQ(plug.GetInputBusLabel(1)->Get(), "aux input");
  plug.SetInputBusLabel(0, "main input");  // replaces, does not add
  EXPECT_EQ(plug.NInputBusLabels(), 2);
  EXPECT_STREQ(plug.GetInputBusLabel(0)->Get(), "main input");

  plug.SetOutputBusLabel(3, "output 4");  // inserted at the end of a shorter list
  plug.SetOutputBusLabel(-1, "ignored");
  ASSERT_EQ(plug.NOutputBusLabels(), 1);
  EXPECT_STREQ(plug.GetOutputBusLabel(0)->Get(), "output 4");
}

TEST(Connections, LimitToStereo)
{
  TestPlug::Options o;
  o.channelIO = "4-4";
  TestPlug plug(o);
  plug.SetInputChannelConnections(0, 4, true);
  plug.LimitToStereoIO();
  EXPECT_TRUE(plug.IsInChannelConnected(1));
  EXPECT_FALSE(plug.IsInChannelConnected(2));
  EXPECT_TRUE(plug.IsOutChannelConnected(3));
  EXPECT_FALSE(plug.IsOutChannelConnected(0));
}

TEST(Parameters, GuiChangeSetsInformsThenNotifies)
{
  TestPlug plug;
  plug.InitDoubles();
  plug.SetParameterFromGUI(3, 0.25);
  EXPECT_EQ(plug.GetParam(3)->Value(), 0.25);
  ASSERT_EQ(plug.events.size(), 2u);
  EXPECT_EQ(plug.events[0], "inform 3 0.250000");
  EXPECT_EQ(plug.events[1], "change 3");
  plug.events.clear();
  plug.SetParameterFromGUI(13, 0.5);  // out of range: nothing
  EXPECT_TRUE(plug.events.empty());

  plug.OnParamReset();
  ASSERT_EQ(plug.events.size(), 13u);
  EXPECT_EQ(plug.events.front(), "change 0");
  EXPECT_EQ(plug.events.back(), "change 12");

  plug.events.clear();
  plug.DirtyParameters();
  ASSERT_EQ(plug.events.size(), 13u);
  EXPECT_EQ(plug.events[3], "inform 3 0.250000");
}

TEST(Versions, HostAndEffect)
{
  TestPlug::Options o;
  o.version = 0x00050102;
  TestPlug plug(o);
  EXPECT_EQ(plug.GetHost(), kHostUninit);
  plug.SetHost("com.example.Logic", 0x00050102);
  EXPECT_EQ(plug.GetHost(), kHostLogic);
  EXPECT_EQ(plug.GetHostVersion(false), 0x00050102);
  EXPECT_EQ(plug.GetHostVersion(true), 50102);
  char s[MAX_VERSION_STR_LEN];
  plug.GetHostVersionStr(s);
  EXPECT_STREQ(s, "v5.1.2");
  EXPECT_EQ(plug.GetEffectVersion(true), 50102);
  plug.GetEffectVersionStr(s);
  EXPECT_STREQ(s, "v5.1.2");
  EXPECT_STREQ(plug.GetAPIString(), "AU");
}

// The architecture string names the machine the test runs on, as the kernel reports it.
TEST(Settings, ArchStringNamesTheMachine)
{
  utsname u{};
  ASSERT_EQ(uname(&u), 0);
  const std::string machine = u.machine;
  const std::map<std::string, std::string> kNames = {{"x86_64", "x64"},    {"i686", "x86"},       {"i386", "x86"},
                                                     {"aarch64", "arm64"}, {"arm64", "arm64"},    {"armv7l", "arm"},
                                                     {"ppc64le", "ppc64"}, {"riscv64", "riscv64"}};
  const auto it = kNames.find(machine);
  ASSERT_NE(it, kNames.end()) << "no expectation for machine " << machine;
  EXPECT_EQ(IPlugBase::GetArchString(), it->second);
}

TEST(Settings, SamplesPerBeatLatencyAndMidi)
{
  TestPlug plug;
  plug.SetSampleRate(48000);
  EXPECT_EQ(plug.GetSamplesPerBeat(), 24000.0);
  plug.tempo = 0;
  EXPECT_EQ(plug.GetSamplesPerBeat(), 0.0);
  plug.SetLatency(100);
  EXPECT_EQ(plug.GetLatency(), 100);

  IMidiMsg m(0, 0x90, 60, 1);
  plug.ProcessMidiMsg(&m);  // the default forwards to the output
  ASSERT_EQ(plug.sentMidi.size(), 1u);
  WDL_TypedBuf<IMidiMsg> msgs;
  msgs.Add(m);
  msgs.Add(IMidiMsg());
  msgs.Add(m);
  EXPECT_FALSE(plug.SendMidiMsgs(&msgs));
  EXPECT_EQ(plug.sentMidi.size(), 4u);  // all were attempted

  char name[8] = "x";
  EXPECT_FALSE(plug.MidiNoteName(60, name));
  EXPECT_STREQ(name, "");
  ISysEx sx;
  EXPECT_FALSE(plug.SendSysEx(&sx));
}

TEST(Mutex, ReentersOnOneThreadAndExcludesOthers)
{
  TestPlug plug;
  WDL_Mutex* m = plug.GetMutex();
  m->Enter();
  m->Enter();    // re-entry on the owning thread does not block
  plug.Reset();  // nor do the default hooks that take it
  plug.OnActivate(true);

  std::atomic<bool> gotIt{true};
  std::thread([&] { gotIt = m->TryEnter(); }).join();
  EXPECT_FALSE(gotIt);

  m->Leave();
  std::thread([&] { gotIt = m->TryEnter(); }).join();
  EXPECT_FALSE(gotIt);  // still held once

  m->Leave();
  std::thread([&] {
    gotIt = m->TryEnter();
    if (gotIt) m->Leave();
  }).join();
  EXPECT_TRUE(gotIt);
}

TEST(Mutex, GuiChangesFromTwoThreadsAreSerialised)
{
  struct CountingPlug : TestPlug
  {
    int inside = 0, maxInside = 0;
    void OnParamChange(int) override
    {
      ++inside;
      maxInside = std::max(maxInside, inside);
      std::this_thread::yield();
      --inside;
    }
    void InformHostOfParamChange(int, double) override {}
  } plug;
  plug.InitDoubles();
  auto work = [&] {
    for (int i = 0; i < 200; ++i) plug.SetParameterFromGUI(i % 13, 0.5);
  };
  std::thread a(work), b(work);
  a.join();
  b.join();
  EXPECT_EQ(plug.maxInside, 1);
}
}  // namespace
