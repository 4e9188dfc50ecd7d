// Numbers (kept as a 64-bit integer or a double) and the two boolean constants.
#include "CFObject.h"

#include <cmath>
#include <cstring>
#include <limits>

struct __CFNumber final : compat::CFObject
{
  __CFNumber(CFAllocatorRef alloc, CFNumberType t, bool isFloat, SInt64 i, double d)
    : CFObject(compat::kTypeNumber, alloc),
      type(t),
      floating(isFloat),
      intValue(i),
      floatValue(d)
  {
  }

  bool Equal(const CFObject& other) const override
  {
    const auto& o = static_cast<const __CFNumber&>(other);
    if (!floating && !o.floating) return intValue == o.intValue;
    return AsDouble() == o.AsDouble();
  }
  /* Equal values hash alike whatever their types: integral doubles hash as integers. */
  CFHashCode Hash() const override
  {
    if (!floating) return static_cast<CFHashCode>(intValue);
    if (std::trunc(floatValue) == floatValue && std::fabs(floatValue) < 9.0e18)
      return static_cast<CFHashCode>(static_cast<SInt64>(floatValue));
    CFHashCode h = 0;
    std::memcpy(&h, &floatValue, sizeof(h) < sizeof(floatValue) ? sizeof(h) : sizeof(floatValue));
    return h;
  }
  std::string Describe() const override { return floating ? std::to_string(floatValue) : std::to_string(intValue); }
  double AsDouble() const { return floating ? floatValue : static_cast<double>(intValue); }

  CFNumberType type;
  bool floating;
  SInt64 intValue;
  double floatValue;
};

struct __CFBoolean final : compat::CFObject
{
  constexpr explicit __CFBoolean(bool v)
    : CFObject(compat::kTypeBoolean, Immortal{}),
      value(v)
  {
  }
  std::string Describe() const override { return value ? "true" : "false"; }
  bool value;
};

static constinit __CFBoolean gTrue(true);
static constinit __CFBoolean gFalse(false);

namespace compat
{
namespace
{

/* The storage type the platform reports for each creation type. */
CFNumberType CanonicalType(CFNumberType t)
{
  switch (t)
  {
    case kCFNumberCharType: return kCFNumberSInt8Type;
    case kCFNumberShortType: return kCFNumberSInt16Type;
    case kCFNumberIntType: return kCFNumberSInt32Type;
    case kCFNumberLongType:
    case kCFNumberLongLongType:
    case kCFNumberCFIndexType:
    case kCFNumberNSIntegerType: return kCFNumberSInt64Type;
    case kCFNumberFloatType: return kCFNumberFloat32Type;
    case kCFNumberDoubleType:
    case kCFNumberCGFloatType: return kCFNumberFloat64Type;
    default: return t;
  }
}

bool IsFloatType(CFNumberType t) { return t == kCFNumberFloat32Type || t == kCFNumberFloat64Type; }

CFIndex ByteSize(CFNumberType t)
{
  switch (t)
  {
    case kCFNumberSInt8Type: return 1;
    case kCFNumberSInt16Type: return 2;
    case kCFNumberSInt32Type:
    case kCFNumberFloat32Type: return 4;
    default: return 8;
  }
}

template <typename T>
bool StoreInteger(const __CFNumber* n, void* out)
{
  T v;
  bool exact;
  if (n->floating)
  {
    const double d = n->floatValue;
    const bool inRange = d >= static_cast<double>(std::numeric_limits<T>::min()) &&
                         d <= static_cast<double>(std::numeric_limits<T>::max());
    v = inRange && !std::isnan(d) ? static_cast<T>(d)
                                  : (d < 0 ? std::numeric_limits<T>::min() : std::numeric_limits<T>::max());
    exact = inRange && std::trunc(d) == d;
  }
  else
  {
    v = static_cast<T>(n->intValue);
    exact = static_cast<SInt64>(v) == n->intValue;
  }
  std::memcpy(out, &v, sizeof(T));
  return exact;
}

template <typename T>
bool StoreFloat(const __CFNumber* n, void* out)
{
  const T v = static_cast<T>(n->AsDouble());
  std::memcpy(out, &v, sizeof(T));
  if (n->floating) return static_cast<double>(v) == n->floatValue || std::isnan(n->floatValue);
  return static_cast<SInt64>(v) == n->intValue;
}

}  // namespace
}  // namespace compat

extern "C"
{

  const CFBooleanRef kCFBooleanTrue = &gTrue;
  const CFBooleanRef kCFBooleanFalse = &gFalse;

  CFTypeID CFBooleanGetTypeID(void) { return compat::kTypeBoolean; }

  Boolean CFBooleanGetValue(CFBooleanRef boolean)
  {
    return compat::Checked<const __CFBoolean>(boolean, compat::kTypeBoolean, "CFBooleanGetValue")->value;
  }

  CFTypeID CFNumberGetTypeID(void) { return compat::kTypeNumber; }

  CFNumberRef CFNumberCreate(CFAllocatorRef allocator, CFNumberType theType, const void* valuePtr)
  {
    if (!valuePtr) return nullptr;
    const CFNumberType t = compat::CanonicalType(theType);
    SInt64 i = 0;
    double d = 0.0;
    switch (t)
    {
      case kCFNumberSInt8Type:
      {
        SInt8 v;
        std::memcpy(&v, valuePtr, sizeof v);
        i = v;
        break;
      }
      case kCFNumberSInt16Type:
      {
        SInt16 v;
        std::memcpy(&v, valuePtr, sizeof v);
        i = v;
        break;
      }
      case kCFNumberSInt32Type:
      {
        SInt32 v;
        std::memcpy(&v, valuePtr, sizeof v);
        i = v;
        break;
      }
      case kCFNumberSInt64Type:
      {
        SInt64 v;
        std::memcpy(&v, valuePtr, sizeof v);
        i = v;
        break;
      }
      case kCFNumberFloat32Type:
      {
        Float32 v;
        std::memcpy(&v, valuePtr, sizeof v);
        d = v;
        break;
      }
      case kCFNumberFloat64Type:
      {
        Float64 v;
        std::memcpy(&v, valuePtr, sizeof v);
        d = v;
        break;
      }
      default: return nullptr;
    }
    return new __CFNumber(allocator, t, compat::IsFloatType(t), i, d);
  }

  CFNumberType CFNumberGetType(CFNumberRef number)
  {
    return compat::Checked<const __CFNumber>(number, compat::kTypeNumber, "CFNumberGetType")->type;
  }

  CFIndex CFNumberGetByteSize(CFNumberRef number) { return compat::ByteSize(CFNumberGetType(number)); }

  Boolean CFNumberIsFloatType(CFNumberRef number)
  {
    return compat::Checked<const __CFNumber>(number, compat::kTypeNumber, "CFNumberIsFloatType")->floating;
  }

  Boolean CFNumberGetValue(CFNumberRef number, CFNumberType theType, void* valuePtr)
  {
    const __CFNumber* n = compat::Checked<const __CFNumber>(number, compat::kTypeNumber, "CFNumberGetValue");
    if (!valuePtr) return false;
    switch (compat::CanonicalType(theType))
    {
      case kCFNumberSInt8Type: return compat::StoreInteger<SInt8>(n, valuePtr);
      case kCFNumberSInt16Type: return compat::StoreInteger<SInt16>(n, valuePtr);
      case kCFNumberSInt32Type: return compat::StoreInteger<SInt32>(n, valuePtr);
      case kCFNumberSInt64Type: return compat::StoreInteger<SInt64>(n, valuePtr);
      case kCFNumberFloat32Type: return compat::StoreFloat<Float32>(n, valuePtr);
      case kCFNumberFloat64Type: return compat::StoreFloat<Float64>(n, valuePtr);
      default: return false;
    }
  }

  CFComparisonResult CFNumberCompare(CFNumberRef number, CFNumberRef otherNumber, void* context)
  {
    (void)context;
    const __CFNumber* a = compat::Checked<const __CFNumber>(number, compat::kTypeNumber, "CFNumberCompare");
    const __CFNumber* b = compat::Checked<const __CFNumber>(otherNumber, compat::kTypeNumber, "CFNumberCompare");
    if (!a->floating && !b->floating)
      return a->intValue < b->intValue   ? kCFCompareLessThan
             : a->intValue > b->intValue ? kCFCompareGreaterThan
                                         : kCFCompareEqualTo;
    const double x = a->AsDouble(), y = b->AsDouble();
    return x < y ? kCFCompareLessThan : x > y ? kCFCompareGreaterThan : kCFCompareEqualTo;
  }

}  // extern "C"
