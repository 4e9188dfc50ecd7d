// A state moves between the bindings: what the Audio Unit saves restores in both LV2
// plug-ins, and what either LV2 plug-in saves restores in the Audio Unit, with the
// same bytes, the same parameters and (stereo to stereo) the same audio. The plug-in's
// own state is the Audio Unit's class-info data and the LV2 state property alike.

#include "AudioUnitUnderTest.h"
#include "ClassInfoBytes.h"
#include "Lv2UnderTest.h"
#include "ValidatorSupport.h"

#include <random>

namespace validator
{
namespace
{
constexpr std::uint32_t kSeed = 11u;

// Every parameter at a random value of its range, either end now and then.
void Randomise(PluginUnderTest& plug, std::mt19937& gen)
{
  const std::vector<ParameterRange> ranges = plug.Parameters();
  for (int i = 0; i < static_cast<int>(ranges.size()); ++i)
  {
    const int kind = std::uniform_int_distribution<int>(0, 4)(gen);
    const float v = kind == 0   ? ranges[i].mMin
                    : kind == 1 ? ranges[i].mMax
                                : std::uniform_real_distribution<float>(ranges[i].mMin, ranges[i].mMax)(gen);
    ASSERT_TRUE(plug.SetParameter(i, v));
  }
}

void ExpectSameParameters(PluginUnderTest& a, PluginUnderTest& b)
{
  const int n = static_cast<int>(a.Parameters().size());
  ASSERT_EQ(n, static_cast<int>(b.Parameters().size()));
  for (int i = 0; i < n; ++i) EXPECT_EQ(a.GetParameter(i), b.GetParameter(i)) << "parameter " << i;
}
}  // namespace

TEST(StateExchange, AudioUnitStatesRestoreInBothLv2PlugIns)
{
  const Audio input = MusicLike(12288 + 2 * 2048, 41u);
  std::mt19937 gen(2718u);
  for (int round = 0; round < 4; ++round)
  {
    SCOPED_TRACE("round " + std::to_string(round));
    std::unique_ptr<PluginUnderTest> au = OpenPrepared(AudioUnitBinding(), 44100.0, 512, kSeed);
    ASSERT_TRUE(au);
    Randomise(*au, gen);
    const std::vector<std::uint8_t> state = ClassInfoData(au->SaveState());
    ASSERT_FALSE(state.empty());
    const Audio expected = RenderAll(*au, input, FixedBlocks(512));

    for (const Binding& b : {Lv2Binding(), Lv2MonoBinding()})
    {
      SCOPED_TRACE(b.mName);
      std::unique_ptr<PluginUnderTest> lv2 = OpenPrepared(b, 44100.0, 512, kSeed, BusySettings());
      ASSERT_TRUE(lv2);
      ASSERT_TRUE(lv2->RestoreState(state));
      EXPECT_EQ(lv2->SaveState(), state);
      ExpectSameParameters(*au, *lv2);
      const Audio got = RenderAll(*lv2, input, FixedBlocks(512));
      // Rendering with the host's controls in place keeps the restored values.
      EXPECT_EQ(lv2->SaveState(), state);
      if (b.mChannels == 2)
      {
        EXPECT_EQ(FirstDifference(expected, got), -1) << "the LV2 plug-in sounds different";
      }
    }
  }
}

TEST(StateExchange, Lv2StatesRestoreInTheAudioUnit)
{
  const Audio input = MusicLike(12288 + 2 * 2048, 43u);
  std::mt19937 gen(1618u);
  for (int round = 0; round < 4; ++round)
    for (const Binding& b : {Lv2Binding(), Lv2MonoBinding()})
    {
      SCOPED_TRACE(b.mName + ", round " + std::to_string(round));
      std::unique_ptr<PluginUnderTest> lv2 = OpenPrepared(b, 44100.0, 512, kSeed);
      ASSERT_TRUE(lv2);
      Randomise(*lv2, gen);
      // The controls reach the plug-in at its next run, as in any host.
      const Audio expected = RenderAll(*lv2, input, FixedBlocks(512));
      const std::vector<std::uint8_t> state = lv2->SaveState();
      ASSERT_FALSE(state.empty());

      std::unique_ptr<PluginUnderTest> au = OpenPrepared(AudioUnitBinding(), 44100.0, 512, kSeed, BusySettings());
      ASSERT_TRUE(au);
      const std::vector<std::uint8_t> classInfo = WithClassInfoData(au->SaveState(), state);
      ASSERT_FALSE(classInfo.empty());
      ASSERT_TRUE(au->RestoreState(classInfo));
      EXPECT_EQ(ClassInfoData(au->SaveState()), state);
      ExpectSameParameters(*lv2, *au);
      if (b.mChannels == 2)
      {
        EXPECT_EQ(FirstDifference(expected, RenderAll(*au, input, FixedBlocks(512))), -1)
          << "the Audio Unit sounds different";
      }
    }
}

}  // namespace validator
