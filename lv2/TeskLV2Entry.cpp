// The plug-in library's one exported symbol: the descriptors of Tesk's LV2 plug-ins.

#include <lv2/core/lv2.h>

#include "TeskLV2.h"

LV2_SYMBOL_EXPORT const LV2_Descriptor* lv2_descriptor(uint32_t index) { return TeskLV2Descriptor(index); }
