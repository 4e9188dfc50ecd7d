#pragma once
// Reading the arguments of a component request block. Each argument takes one
// long-sized slot: on LP64 the instance comes first and the arguments follow in call
// order; on 32-bit targets the arguments come in reverse order, then the instance.

#include <CoreServices/CoreServices.h>

#include <cstring>

namespace iplug_au
{
// Argument idx (0 = the call's first) of a request carrying count arguments.
template <class T>
inline T ComponentArg(const ComponentParameters* params, int idx, int count) noexcept
{
#if __LP64__
  (void)count;
  const long* slot = &params->params[idx + 1];
#else
  const long* slot = &params->params[count - 1 - idx];
#endif
  static_assert(sizeof(T) <= sizeof(long), "an argument takes one slot");
  T value;
  std::memcpy(&value, slot, sizeof(T));
  return value;
}

// The instance an open request creates: the first slot in both layouts.
inline ComponentInstance OpenedInstance(const ComponentParameters* params) noexcept
{
  ComponentInstance ci;
  std::memcpy(&ci, &params->params[0], sizeof(ci));
  return ci;
}
}  // namespace iplug_au
