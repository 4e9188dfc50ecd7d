// Tesk on the LV2 binding: the descriptors of its two variants and the factory they use.

#include "TeskLV2.h"

#include <cstring>

#include "Tesk.h"
#include "TeskEditorLink.h"
#include "TeskLV2Seed.h"
#include "TeskLV2URIs.h"

namespace
{
IPlugLV2* MakeTeskLV2() { return new Tesk(TeskInstanceInfo()); }

Tesk* TeskOf(LV2_Handle instance) { return static_cast<Tesk*>(IPlugLV2::FromHandle(instance)); }

// The seed extension (TeskLV2Seed.h) beside the binding's own.
const void* TeskExtensionData(const char* uri)
{
  static const TeskLV2SeedInterface kSeed = {
    [](LV2_Handle instance, std::uint32_t seed) { TeskOf(instance)->SetRandomSeed(seed); },
    [](LV2_Handle instance) { return TeskOf(instance)->GetRandomSeed(); }};
  if (uri && std::strcmp(uri, kTeskLV2SeedURI) == 0) return &kSeed;
  return IPlugLV2::ExtensionData(uri);
}

constexpr IPlugLV2Descriptor kDescriptors[kTeskLV2NumVariants] = {
  IPlugLV2::Describe(kTeskLV2Variants[0].uri, kTeskLV2Variants[0].nIn, kTeskLV2Variants[0].nOut, kTeskLV2StateKey,
                     MakeTeskLV2, TeskExtensionData),
  IPlugLV2::Describe(kTeskLV2Variants[1].uri, kTeskLV2Variants[1].nIn, kTeskLV2Variants[1].nOut, kTeskLV2StateKey,
                     MakeTeskLV2, TeskExtensionData),
};
}  // namespace

const LV2_Descriptor* TeskLV2Descriptor(std::uint32_t index) noexcept
{
  return index < static_cast<std::uint32_t>(kTeskLV2NumVariants) ? &kDescriptors[index].lv2 : nullptr;
}

const LV2_Descriptor* TeskLV2DescriptorFor(const char* uri) noexcept
{
  for (const IPlugLV2Descriptor& d : kDescriptors)
    if (uri && std::strcmp(d.lv2.URI, uri) == 0) return &d.lv2;
  return nullptr;
}

// The engine as a new instance has it: every buffer, counter and frame phase; the
// parameters' working copies come back through OnParamChange at activation. The
// instance's seed stays, and the draws restart from it, so that a seeded instance
// renders the same after every activation.
void Tesk::ClearHistory() noexcept { mEngine.ClearHistory(); }
