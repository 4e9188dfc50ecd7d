#pragma once
// Tesk's LV2 plug-ins as the binding describes them: one descriptor per variant
// (TeskLV2URIs.h). The plug-in's library hands them to hosts through lv2_descriptor
// (TeskLV2Entry.cpp); the UI's library uses them to build a plug-in of its own when the
// host gives it no access to the running one.

#include <cstdint>

#include <lv2/core/lv2.h>

// Null past the last variant. Any thread.
const LV2_Descriptor* TeskLV2Descriptor(std::uint32_t index) noexcept;
// The descriptor of the variant with this URI; null for another URI.
const LV2_Descriptor* TeskLV2DescriptorFor(const char* uri) noexcept;
