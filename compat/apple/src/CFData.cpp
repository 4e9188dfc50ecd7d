// Byte buffers, immutable or mutable.
#include "CFObject.h"

#include <cstring>
#include <vector>

struct __CFData final : compat::CFObject
{
  __CFData(CFAllocatorRef alloc, const UInt8* data, CFIndex n, bool mut)
    : CFObject(compat::kTypeData, alloc),
      bytes(data, data + n),
      isMutable(mut)
  {
  }
  bool Equal(const CFObject& other) const override { return bytes == static_cast<const __CFData&>(other).bytes; }
  CFHashCode Hash() const override
  {
    CFHashCode h = 1469598103934665603UL;
    for (UInt8 b : bytes) h = (h ^ b) * 1099511628211UL;
    return h;
  }
  std::string Describe() const override { return "<CFData " + std::to_string(bytes.size()) + " bytes>"; }
  std::vector<UInt8> bytes;
  bool isMutable;
};

namespace
{

const __CFData* DataOf(CFDataRef d, const char* function)
{
  return compat::Checked<const __CFData>(d, compat::kTypeData, function);
}

__CFData* MutableDataOf(CFMutableDataRef d, const char* function)
{
  __CFData* data = compat::Checked<__CFData>(d, compat::kTypeData, function);
  if (!data->isMutable) compat::Fatal(function, "data is not mutable");
  return data;
}

}  // namespace

extern "C"
{

  CFTypeID CFDataGetTypeID(void) { return compat::kTypeData; }

  CFDataRef CFDataCreate(CFAllocatorRef allocator, const UInt8* bytes, CFIndex length)
  {
    if (length < 0 || (!bytes && length > 0)) return nullptr;
    return new __CFData(allocator, bytes, length, false);
  }

  CFDataRef CFDataCreateWithBytesNoCopy(CFAllocatorRef allocator, const UInt8* bytes, CFIndex length,
                                        CFAllocatorRef bytesDeallocator)
  {
    // The bytes are copied, so they go back to their deallocator at once unless the caller kept them.
    CFDataRef d = CFDataCreate(allocator, bytes, length);
    if (d && bytes && bytesDeallocator != kCFAllocatorNull)
      CFAllocatorDeallocate(bytesDeallocator, const_cast<UInt8*>(bytes));
    return d;
  }

  CFDataRef CFDataCreateCopy(CFAllocatorRef allocator, CFDataRef theData)
  {
    const __CFData* d = DataOf(theData, "CFDataCreateCopy");
    return new __CFData(allocator, d->bytes.data(), static_cast<CFIndex>(d->bytes.size()), false);
  }

  CFMutableDataRef CFDataCreateMutable(CFAllocatorRef allocator, CFIndex capacity)
  {
    (void)capacity;
    return new __CFData(allocator, nullptr, 0, true);
  }

  CFMutableDataRef CFDataCreateMutableCopy(CFAllocatorRef allocator, CFIndex capacity, CFDataRef theData)
  {
    (void)capacity;
    const __CFData* d = DataOf(theData, "CFDataCreateMutableCopy");
    return new __CFData(allocator, d->bytes.data(), static_cast<CFIndex>(d->bytes.size()), true);
  }

  CFIndex CFDataGetLength(CFDataRef theData)
  {
    return static_cast<CFIndex>(DataOf(theData, "CFDataGetLength")->bytes.size());
  }

  const UInt8* CFDataGetBytePtr(CFDataRef theData)
  {
    const __CFData* d = DataOf(theData, "CFDataGetBytePtr");
    return d->bytes.empty() ? nullptr : d->bytes.data();
  }

  UInt8* CFDataGetMutableBytePtr(CFMutableDataRef theData)
  {
    __CFData* d = MutableDataOf(theData, "CFDataGetMutableBytePtr");
    return d->bytes.empty() ? nullptr : d->bytes.data();
  }

  void CFDataGetBytes(CFDataRef theData, CFRange range, UInt8* buffer)
  {
    const __CFData* d = DataOf(theData, "CFDataGetBytes");
    if (range.location < 0 || range.length < 0 || range.location + range.length > static_cast<CFIndex>(d->bytes.size()))
      compat::Fatal("CFDataGetBytes", "range out of bounds");
    if (range.length > 0) std::memcpy(buffer, d->bytes.data() + range.location, static_cast<size_t>(range.length));
  }

  void CFDataSetLength(CFMutableDataRef theData, CFIndex length)
  {
    if (length < 0) compat::Fatal("CFDataSetLength", "negative length");
    MutableDataOf(theData, "CFDataSetLength")->bytes.resize(static_cast<size_t>(length), 0);
  }

  void CFDataIncreaseLength(CFMutableDataRef theData, CFIndex extraLength)
  {
    __CFData* d = MutableDataOf(theData, "CFDataIncreaseLength");
    if (extraLength < 0) compat::Fatal("CFDataIncreaseLength", "negative length");
    d->bytes.resize(d->bytes.size() + static_cast<size_t>(extraLength), 0);
  }

  void CFDataAppendBytes(CFMutableDataRef theData, const UInt8* bytes, CFIndex length)
  {
    __CFData* d = MutableDataOf(theData, "CFDataAppendBytes");
    if (length > 0 && bytes) d->bytes.insert(d->bytes.end(), bytes, bytes + length);
  }

}  // extern "C"
