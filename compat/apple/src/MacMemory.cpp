// Handles: a master pointer followed by the block's size, so a Handle (char**) can be resized.
#include <CarbonCore/MacMemory.h>

#include <cstdlib>
#include <cstring>

namespace
{

struct HandleBlock
{
  char* master;  // first, so a Handle points at it
  Size size;
};

thread_local OSErr gLastError = noErr;

HandleBlock* BlockOf(Handle h) { return reinterpret_cast<HandleBlock*>(h); }

Handle Allocate(Size byteCount, bool clear)
{
  if (byteCount < 0)
  {
    gLastError = memFullErr;
    return nullptr;
  }
  auto* block = static_cast<HandleBlock*>(std::malloc(sizeof(HandleBlock)));
  char* data = static_cast<char*>(clear ? std::calloc(1, static_cast<size_t>(byteCount) + 1)
                                        : std::malloc(static_cast<size_t>(byteCount) + 1));
  if (!block || !data)
  {
    std::free(block);
    std::free(data);
    gLastError = memFullErr;
    return nullptr;
  }
  block->master = data;
  block->size = byteCount;
  gLastError = noErr;
  return &block->master;
}

}  // namespace

extern "C"
{

  Handle NewHandle(Size byteCount) { return Allocate(byteCount, false); }
  Handle NewHandleClear(Size byteCount) { return Allocate(byteCount, true); }

  void DisposeHandle(Handle h)
  {
    if (!h) return;
    std::free(BlockOf(h)->master);
    std::free(BlockOf(h));
    gLastError = noErr;
  }

  Size GetHandleSize(Handle h)
  {
    if (!h)
    {
      gLastError = nilHandleErr;
      return 0;
    }
    gLastError = noErr;
    return BlockOf(h)->size;
  }

  void SetHandleSize(Handle h, Size newSize)
  {
    if (!h || newSize < 0)
    {
      gLastError = h ? memFullErr : nilHandleErr;
      return;
    }
    char* data = static_cast<char*>(std::realloc(BlockOf(h)->master, static_cast<size_t>(newSize) + 1));
    if (!data)
    {
      gLastError = memFullErr;
      return;
    }
    BlockOf(h)->master = data;
    BlockOf(h)->size = newSize;
    gLastError = noErr;
  }

  OSErr MemError(void) { return gLastError; }
  void HLock(Handle) {}
  void HUnlock(Handle) {}

  Ptr NewPtr(Size byteCount)
  {
    return byteCount < 0 ? nullptr : static_cast<Ptr>(std::malloc(static_cast<size_t>(byteCount) + 1));
  }
  Ptr NewPtrClear(Size byteCount)
  {
    return byteCount < 0 ? nullptr : static_cast<Ptr>(std::calloc(1, static_cast<size_t>(byteCount) + 1));
  }
  void DisposePtr(Ptr p) { std::free(p); }

}  // extern "C"
