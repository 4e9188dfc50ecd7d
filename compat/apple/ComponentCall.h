// Builds component request blocks exactly as the Component Manager lays them out, so hosts and
// tests on Linux call an entry the way a host on the original platform does, and fake entries read them back.
// Linux-only helper; never include it from code that must also build on the original platform.
#ifndef COMPAT_APPLE_COMPONENTCALL_H
#define COMPAT_APPLE_COMPONENTCALL_H

#include <CompatHooks.h>

#include <cstddef>
#include <cstring>
#include <type_traits>

namespace compat
{

/* One long-sized slot per argument. Integers are widened with their sign so the slot reads
   correctly both as the argument's own type and as a long; other values are copied to the
   start of the slot. */
template <typename T>
inline long ToComponentSlot(T value)
{
  static_assert(sizeof(T) <= sizeof(long), "a request argument must fit one long slot");
  static_assert(std::is_trivially_copyable_v<T>, "a request argument must be a plain value");
  if constexpr (std::is_integral_v<T> || std::is_enum_v<T>)
  {
    return static_cast<long>(value);
  }
  else
  {
    long slot = 0;
    std::memcpy(&slot, &value, sizeof(T));
    return slot;
  }
}

/* A request block with room for N arguments and the instance. */
template <std::size_t N>
class ComponentRequest final
{
public:
  template <typename... Args>
  ComponentRequest(ComponentInstance self, SInt16 what, Args... args)
  {
    static_assert(sizeof...(Args) == N, "argument count must match the block size");
    static_assert(N * sizeof(long) <= 255, "too many arguments for one request");
    std::memset(mBytes, 0, sizeof(mBytes));
    ComponentParameters* p = Params();
    p->flags = 0;
    p->paramSize = static_cast<UInt8>(N * sizeof(long));
    p->what = what;
    std::size_t i = 0;
    ((p->params[ArgumentSlot(i++)] = ToComponentSlot(args)), ...);
    p->params[InstanceSlot()] = ToComponentSlot(self);
  }

  ComponentParameters* Params() { return reinterpret_cast<ComponentParameters*>(mBytes); }

  /* Slot of argument i (0 = first argument of the call). */
  static constexpr std::size_t ArgumentSlot(std::size_t i)
  {
#if __LP64__
    return i + 1;
#else
    return N - 1 - i;
#endif
  }
  static constexpr std::size_t InstanceSlot()
  {
#if __LP64__
    return 0;
#else
    return N;
#endif
  }

private:
  alignas(ComponentParameters) unsigned char mBytes[offsetof(ComponentParameters, params) + sizeof(long) * (N + 1)];
};

/* Reads argument `index` of a request with `count` arguments, as an entry does. */
template <typename T>
inline T ComponentArg(const ComponentParameters* p, int index, int count)
{
#if __LP64__
  (void)count;
  const long* slot = &p->params[index + 1];
#else
  const long* slot = &p->params[count - 1 - index];
#endif
  T value;
  std::memcpy(&value, slot, sizeof(T));
  return value;
}

/* The instance a request is addressed to. */
inline ComponentInstance ComponentSelf(const ComponentParameters* p, int count)
{
#if __LP64__
  (void)count;
  return reinterpret_cast<ComponentInstance>(p->params[0]);
#else
  return reinterpret_cast<ComponentInstance>(p->params[count]);
#endif
}

/* A host that opens a unit through the Component Manager addresses the instance as an Audio
   Unit by casting it; these do the casts for hosts and tests here. On an audio component
   instance the Component Manager's calls fail, as they do on the original platform. */
inline ComponentInstance AsComponentInstance(AudioUnit unit) { return reinterpret_cast<ComponentInstance>(unit); }
inline OSErr OpenAudioUnit(Component c, AudioUnit* pUnit)
{
  ComponentInstance ci = nullptr;
  const OSErr r = OpenAComponent(c, &ci);
  *pUnit = reinterpret_cast<AudioUnit>(ci);
  return r;
}
inline OSErr CloseAudioUnit(AudioUnit unit) { return CloseComponent(AsComponentInstance(unit)); }
inline Handle StorageOf(AudioUnit unit) { return GetComponentInstanceStorage(AsComponentInstance(unit)); }

/* Calls an entry function directly with a block for `what` and the given arguments. */
template <typename... Args>
inline ComponentResult CallEntry(ComponentRoutineProcPtr entry, Handle storage, ComponentInstance self, SInt16 what,
                                 Args... args)
{
  ComponentRequest<sizeof...(Args)> request(self, what, args...);
  return entry(request.Params(), storage);
}

/* Calls an open instance's entry with its storage, as the Component Manager does. */
template <typename... Args>
inline ComponentResult CallComponent(ComponentInstance ci, SInt16 what, Args... args)
{
  ComponentRequest<sizeof...(Args)> request(ci, what, args...);
  return compat_CallComponent(ci, request.Params());
}

}  // namespace compat

#endif
