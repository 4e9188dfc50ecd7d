#pragma once
// Tesk's own LV2 extension, the counterpart of the Audio Unit's private seed property:
// the seed of the sensitivity measure's random draws, so that a host or a test can
// reproduce a render. A host that knows the URI asks extension_data for it; others
// never see it, and the draws are then seeded from the clock at instantiation.

#include <cstdint>

#include <lv2/core/lv2.h>

inline constexpr const char* kTeskLV2SeedURI = "urn:orvanta:tesk#seed";

struct TeskLV2SeedInterface
{
  // Restarts the draws from this seed at the next run(); activation restarts them from
  // the seed too. Any thread.
  void (*set)(LV2_Handle instance, std::uint32_t seed);
  std::uint32_t (*get)(LV2_Handle instance);
};
