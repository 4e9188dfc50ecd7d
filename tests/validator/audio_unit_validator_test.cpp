// The validator's checks on the plug-in opened through its Audio Unit entry.

#include "AudioUnitUnderTest.h"
#include "ValidatorChecks.h"

namespace validator
{
namespace
{
std::string Name(const ::testing::TestParamInfo<Binding>& info) { return info.param.mName; }
}  // namespace

INSTANTIATE_TEST_SUITE_P(AudioUnit, PluginChecks, ::testing::Values(AudioUnitBinding()), Name);
INSTANTIATE_TEST_SUITE_P(AudioUnit, BlockLimitChecks, ::testing::Values(AudioUnitBinding()), Name);

// Both ways a host renders: through the render selector (which holds the plug-in mutex)
// and through the fast-dispatch render function (which holds nothing).
INSTANTIATE_TEST_SUITE_P(AudioUnit, ConcurrencyChecks,
                         ::testing::Values(AudioUnitBinding(), AudioUnitFastDispatchBinding()), Name);

// 44100 Hz runs in PluginChecks.
INSTANTIATE_TEST_SUITE_P(AudioUnit, BlockSizeMatrix,
                         ::testing::Combine(::testing::Values(AudioUnitBinding()),
                                            ::testing::Values(22050.0, 48000.0, 88200.0, 96000.0, 176400.0, 192000.0)),
                         MatrixCaseName);

}  // namespace validator
