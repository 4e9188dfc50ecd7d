#include "Hosts.h"
#include "IPlugStructs.h"
#include "IPlugUtilities.h"
#include "Log.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace
{
struct HostCase
{
  const char* name;
  std::string host;
  EHost expected;
};

class LookUpHostTable : public testing::TestWithParam<HostCase>
{
};

TEST_P(LookUpHostTable, IdentifiesHost) { EXPECT_EQ(LookUpHost(GetParam().host.c_str()), GetParam().expected); }

INSTANTIATE_TEST_SUITE_P(
  Names, LookUpHostTable,
  testing::Values(HostCase{"BundleIdWithLogic", "com.example.logic10", kHostLogic},
                  HostCase{"LiveAnyCase", "LIVE 11 Suite", kHostAbletonLive},
                  HostCase{"MixedCaseStudio", "com.PreSonus.studioone", kHostStudioOne},
                  HostCase{"Empty", "", kHostUnknown}, HostCase{"NothingMatches", "some other program", kHostUnknown},
                  HostCase{"LiveBeforeLogic", "logic live", kHostAbletonLive},
                  HostCase{"CubaseBeforeNuendo", "nuendo cubase", kHostCubase},
                  HostCase{"DigitalBeforeStandalone", "digital standalone", kHostDigitalPerformer},
                  HostCase{"CakewalkIsSonar", "Cakewalk", kHostSonar},
                  HostCase{"FruityIsFL", "Fruity Wrapper", kHostFL},
                  HostCase{"GarageBandBeforeLogic", "garageband logic", kHostGarageBand},
                  HostCase{"TestHost", "VST3PluginTestHost", kHostVST3TestHost},
                  HostCase{"Melodyne", "melodyne", kHostMelodyneStudio},
                  // A name far longer than any fixed buffer must neither overflow nor lose its key.
                  HostCase{"LongNameKeyAtEnd", std::string(5000, 'x') + "Ardour", kHostArdour},
                  HostCase{"Exactly264", std::string(258, 'y') + "reaper", kHostReaper},
                  HostCase{"LongNameNoKey", std::string(300, 'z'), kHostUnknown}),
  [](const testing::TestParamInfo<HostCase>& i) { return std::string(i.param.name); });

TEST(HostNames, DisplayNamesFromTheTable)
{
  const struct
  {
    EHost host;
    const char* name;
  } rows[] = {{kHostUnknown, "Unknown"},
              {kHostReaper, "Reaper"},
              {kHostSonar, "Sonar"},
              {kHostVegas, "Vegas"},
              {kHostFL, "FLStudio"},
              {kHostMelodyneStudio, "Unknown"},
              {kHostReserved10, "Unknown"},
              {kHostReserved19, "Unknown"},
              {kHostLogic, "Logic"},
              {kHostStudioOne, "StudioOne"},
              {kHostArdour, "Ardour"},
              {kHostUninit, "Unknown"},
              {kHostVST3TestHost, "VST3PluginTestHost"},
              {static_cast<EHost>(99), "Unknown"}};
  for (const auto& r : rows)
  {
    char out[MAX_HOST_NAME_LEN];
    GetHostNameStr(r.host, out);
    EXPECT_STREQ(out, r.name) << "code " << r.host;
  }
}

struct MidiCase
{
  const char* name;
  IMidiMsg msg;
  int status, noteNumber, velocity, program, channel;
  double pitch;
};

class MidiTable : public testing::TestWithParam<MidiCase>
{
};

TEST_P(MidiTable, ReadsBackFields)
{
  const MidiCase& c = GetParam();
  EXPECT_EQ(c.msg.StatusMsg(), c.status);
  EXPECT_EQ(c.msg.NoteNumber(), c.noteNumber);
  EXPECT_EQ(c.msg.Velocity(), c.velocity);
  EXPECT_EQ(c.msg.Program(), c.program);
  EXPECT_EQ(c.msg.Channel(), c.channel);
  EXPECT_NEAR(c.msg.PitchWheel(), c.pitch, 1e-12);
}

IMidiMsg NoteOn(int note, int vel, int ch)
{
  IMidiMsg m;
  m.MakeNoteOnMsg(note, vel, 12, ch);
  return m;
}
IMidiMsg NoteOff(int note, int ch)
{
  IMidiMsg m;
  m.MakeNoteOffMsg(note, 3, ch);
  return m;
}
IMidiMsg Pitch(double v)
{
  IMidiMsg m;
  m.MakePitchWheelMsg(v, 2);
  return m;
}
IMidiMsg CC(IMidiMsg::EControlChangeMsg idx, double v)
{
  IMidiMsg m;
  m.MakeControlChangeMsg(idx, v, 0);
  return m;
}

INSTANTIATE_TEST_SUITE_P(
  Messages, MidiTable,
  testing::Values(MidiCase{"NoteOn", NoteOn(60, 100, 3), IMidiMsg::kNoteOn, 60, 100, -1, 3, 0.0},
                  MidiCase{"NoteOff", NoteOff(61, 15), IMidiMsg::kNoteOff, 61, 0, -1, 15, 0.0},
                  MidiCase{"Aftertouch", IMidiMsg(0, 0xA1, 40, 9), IMidiMsg::kPolyAftertouch, 40, -1, -1, 1, 0.0},
                  MidiCase{"ControlChangeHasNoNote", CC(IMidiMsg::kModWheel, 1.0), IMidiMsg::kControlChange, -1, -1, -1,
                           0, 0.0},
                  MidiCase{"Program", IMidiMsg(0, 0xC4, 7, 0), IMidiMsg::kProgramChange, -1, -1, 7, 4, 0.0},
                  MidiCase{"PitchTop", Pitch(1.0), IMidiMsg::kPitchWheel, -1, -1, -1, 2, 8191.0 / 8192.0},
                  MidiCase{"PitchBottom", Pitch(-1.0), IMidiMsg::kPitchWheel, -1, -1, -1, 2, -1.0},
                  MidiCase{"PitchCentre", Pitch(0.0), IMidiMsg::kPitchWheel, -1, -1, -1, 2, 0.0},
                  MidiCase{"SystemByteIsNone", IMidiMsg(0, 0xF8, 1, 2), IMidiMsg::kNone, -1, -1, -1, 8, 0.0},
                  MidiCase{"DataByteIsNone", IMidiMsg(0, 0x40, 1, 2), IMidiMsg::kNone, -1, -1, -1, 0, 0.0}),
  [](const testing::TestParamInfo<MidiCase>& i) { return std::string(i.param.name); });

TEST(MidiMessages, PitchWheelBytesAreLimited)
{
  const struct
  {
    double value;
    int data1, data2;
  } rows[] = {{1.0, 127, 127}, {-1.0, 0, 0}, {0.0, 0, 64}, {5.0, 127, 127}, {-1e300, 0, 0}, {1e300, 127, 127}};
  for (const auto& r : rows)
  {
    const IMidiMsg m = Pitch(r.value);
    EXPECT_EQ(m.mData1, r.data1) << r.value;
    EXPECT_EQ(m.mData2, r.data2) << r.value;
    EXPECT_EQ(m.mStatus, 0xE2);
  }
}

TEST(MidiMessages, ControlChangeRoundTripAndStrings)
{
  const IMidiMsg m = CC(IMidiMsg::kChannelVolume, 0.5);
  EXPECT_EQ(m.mData1, 7);
  EXPECT_EQ(m.mData2, 63);
  EXPECT_EQ(m.ControlChangeIdx(), IMidiMsg::kChannelVolume);
  EXPECT_NEAR(m.ControlChange(IMidiMsg::kChannelVolume), 63.0 / 127.0, 1e-12);
  EXPECT_EQ(m.ControlChange(IMidiMsg::kModWheel), -1.0);
  EXPECT_EQ(NoteOn(1, 2, 0).mOffset, 12);

  IMidiMsg c = NoteOn(60, 100, 1);
  c.Clear();
  EXPECT_EQ(c.mOffset, 0);
  EXPECT_EQ(c.mStatus, 0);
  EXPECT_EQ(c.mData1, 0);
  EXPECT_EQ(c.mData2, 0);

  const struct
  {
    int kind;
    const char* name;
  } names[] = {{0, "none"},
               {8, "noteoff"},
               {9, "noteon"},
               {10, "aftertouch"},
               {11, "controlchange"},
               {12, "programchange"},
               {13, "channelaftertouch"},
               {14, "pitchwheel"},
               {1, "unknown"},
               {7, "unknown"},
               {15, "unknown"}};
  for (const auto& n : names) EXPECT_STREQ(IMidiMsg::StatusMsgStr(static_cast<IMidiMsg::EStatusMsg>(n.kind)), n.name);
}

struct SysExCase
{
  const char* name;
  int capacity;
  int size;
  const char* expected;
};

class SysExStrTable : public testing::TestWithParam<SysExCase>
{
};

TEST_P(SysExStrTable, WritesWithinCapacity)
{
  const BYTE data[] = {0xF0, 0x7E, 0x0a, 0x09, 0xF7};
  char buf[64];
  std::memset(buf, '#', sizeof(buf));
  const SysExCase& c = GetParam();
  SysExStr(buf, c.capacity, c.size ? data : nullptr, c.size);
  EXPECT_STREQ(buf, c.expected);
  for (int i = c.capacity > 0 ? c.capacity : 0; i < static_cast<int>(sizeof(buf)); ++i)
    ASSERT_EQ(buf[i], '#') << "wrote past the capacity at " << i;
}

INSTANTIATE_TEST_SUITE_P(Capacities, SysExStrTable,
                         testing::Values(SysExCase{"Capacity10", 10, 5, "F0 7E 0A"},
                                         SysExCase{"RoomForAll", 15, 5, "F0 7E 0A 09 F7"},
                                         SysExCase{"Capacity3", 3, 5, "F0"}, SysExCase{"Capacity2", 2, 5, ""},
                                         SysExCase{"Capacity1", 1, 5, ""}, SysExCase{"NoData", 10, 0, ""}),
                         [](const testing::TestParamInfo<SysExCase>& i) { return std::string(i.param.name); });

TEST(SysEx, ZeroCapacityWritesNothingAndClearResets)
{
  char c = '#';
  const BYTE data[] = {1};
  SysExStr(&c, 0, data, 1);
  EXPECT_EQ(c, '#');
  ISysEx s(5, data, 1);
  s.Clear();
  EXPECT_EQ(s.mOffset, 0);
  EXPECT_EQ(s.mSize, 0);
  EXPECT_EQ(s.mData, nullptr);
}

TEST(Utilities, TextVersionsAndInertTrace)
{
  EXPECT_TRUE(IsWhitespace(' '));
  EXPECT_TRUE(IsWhitespace('\t'));
  EXPECT_TRUE(IsWhitespace('\r'));
  EXPECT_TRUE(IsWhitespace('\n'));
  EXPECT_FALSE(IsWhitespace('\v'));
  EXPECT_FALSE(IsWhitespace('a'));
  char lower[16];
  ToLower(lower, "MiXeD 12");
  EXPECT_STREQ(lower, "mixed 12");

  char v[MAX_VERSION_STR_LEN];
  GetVersionStr(0x00050102, v);
  EXPECT_STREQ(v, "v5.1.2");
  EXPECT_EQ(GetDecimalVersion(0x00050102), 50102);

  const std::string now = CurrentTime();
  ASSERT_EQ(now.size(), 20u);  // "YYYYMMDD HH:MM +hhmm"
  EXPECT_TRUE(now[15] == '+' || now[15] == '-');

  Trace("f", 1, "%d", 3);
  EXPECT_STREQ(AUSelectStr(1), "");
  EXPECT_STREQ(AUPropertyStr(0), "");
  EXPECT_STREQ(AUScopeStr(0), "");
  EXPECT_STREQ(VSTOpcodeStr(0), "");

  Timer t;
  EXPECT_FALSE(t.Every(1000.0));
  EXPECT_TRUE(t.Every(-1.0));
}
}  // namespace
