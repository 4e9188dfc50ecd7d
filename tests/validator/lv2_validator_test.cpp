// The validator's checks on the stereo and the mono plug-in loaded from the LV2 bundle.
// BlockLimitChecks stays with the Audio Unit: LV2's run() cannot refuse a block, and
// blocks longer than the binding hands the processor at once are cut (PluginChecks'
// block-size case renders blocks of 4096 frames against shorter ones).

#include "Lv2UnderTest.h"
#include "ValidatorChecks.h"

namespace validator
{
namespace
{
std::string Name(const ::testing::TestParamInfo<Binding>& info) { return info.param.mName; }
}  // namespace

INSTANTIATE_TEST_SUITE_P(LV2, PluginChecks, ::testing::Values(Lv2Binding(), Lv2MonoBinding()), Name);

// The host's automation thread hands values to the audio thread, which writes the ports.
INSTANTIATE_TEST_SUITE_P(LV2, ConcurrencyChecks, ::testing::Values(Lv2Binding(), Lv2MonoBinding()), Name);

// 44100 Hz runs in PluginChecks.
INSTANTIATE_TEST_SUITE_P(LV2, BlockSizeMatrix,
                         ::testing::Combine(::testing::Values(Lv2Binding(), Lv2MonoBinding()),
                                            ::testing::Values(22050.0, 48000.0, 88200.0, 96000.0, 176400.0, 192000.0)),
                         MatrixCaseName);

}  // namespace validator
