// State: a randomised state saved, restored into a fresh instance and saved again gives
// the same bytes, the same parameter values and the same audio.

#include "ValidatorChecks.h"
#include "ValidatorSupport.h"

#include <random>

namespace validator
{

TEST_P(PluginChecks, RandomisedStateSavedRestoredAndSavedAgainIsByteIdentical)
{
  const Audio input = MusicLike(12288 + 2 * 2048, 17u);
  std::mt19937 gen(31337u);
  for (int round = 0; round < 6; ++round)
  {
    SCOPED_TRACE("round " + std::to_string(round));
    std::unique_ptr<PluginUnderTest> original = OpenPrepared(GetParam(), 44100.0, 512, 5u);
    ASSERT_TRUE(original);
    const std::vector<ParameterRange> ranges = original->Parameters();
    for (int i = 0; i < static_cast<int>(ranges.size()); ++i)
    {
      // Either end of the range now and then: the values a saved state must hold exactly.
      const int kind = std::uniform_int_distribution<int>(0, 4)(gen);
      const float v = kind == 0   ? ranges[i].mMin
                      : kind == 1 ? ranges[i].mMax
                                  : std::uniform_real_distribution<float>(ranges[i].mMin, ranges[i].mMax)(gen);
      ASSERT_TRUE(original->SetParameter(i, v));
    }
    const std::vector<std::uint8_t> saved = original->SaveState();
    ASSERT_FALSE(saved.empty());

    // A fresh instance, set to something else first, as a host reopening a document.
    std::unique_ptr<PluginUnderTest> restored = OpenPrepared(GetParam(), 44100.0, 512, 5u, BusySettings());
    ASSERT_TRUE(restored);
    ASSERT_TRUE(restored->RestoreState(saved));
    EXPECT_EQ(restored->SaveState(), saved);
    for (int i = 0; i < static_cast<int>(ranges.size()); ++i)
      EXPECT_EQ(restored->GetParameter(i), original->GetParameter(i)) << "parameter " << i;
    EXPECT_EQ(
      FirstDifference(RenderAll(*original, input, FixedBlocks(512)), RenderAll(*restored, input, FixedBlocks(512))), -1)
      << "the restored instance sounds different";
  }
}

// Bytes that are not a state are refused and leave the state as it was.
TEST_P(PluginChecks, ABrokenStateIsRefusedAndChangesNothing)
{
  std::unique_ptr<PluginUnderTest> plug = OpenPrepared(GetParam(), 44100.0, 512, 5u, BusySettings());
  ASSERT_TRUE(plug);
  const std::vector<std::uint8_t> before = plug->SaveState();
  ASSERT_FALSE(before.empty());
  std::vector<std::uint8_t> truncated(before.begin(), before.begin() + before.size() / 2);
  EXPECT_FALSE(plug->RestoreState(truncated));
  EXPECT_FALSE(plug->RestoreState({}));
  EXPECT_EQ(plug->SaveState(), before);
}

}  // namespace validator

namespace validator
{
// Restoring runs the plug-in's reaction to every parameter; switching Bypass on clears
// the displays, whose controls then push their values into parameters 4 and 5. Those
// must be the restored values, not the ones the controls held before.
TEST_P(PluginChecks, AStateWithBypassOnRestoresTheDisplayParameters)
{
  std::unique_ptr<PluginUnderTest> original = OpenPrepared(GetParam(), 44100.0, 512, 5u);
  ASSERT_TRUE(original);
  const Settings set = {{4, 0.6f}, {5, 0.8f}, {12, 1.0f}};
  for (const auto& [index, value] : set) ASSERT_TRUE(original->SetParameter(index, value));
  const std::vector<std::uint8_t> saved = original->SaveState();

  std::unique_ptr<PluginUnderTest> restored = OpenPrepared(GetParam(), 44100.0, 512, 5u);
  ASSERT_TRUE(restored);
  ASSERT_TRUE(restored->RestoreState(saved));
  for (const auto& [index, value] : set) EXPECT_EQ(restored->GetParameter(index), value) << "parameter " << index;
  EXPECT_EQ(restored->SaveState(), saved);
}
}  // namespace validator
