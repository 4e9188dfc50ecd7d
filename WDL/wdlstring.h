#pragma once
// A growable NUL-terminated 8-bit string over a heap buffer.

#include "heapbuf.h"
#include <cstdarg>

class WDL_String
{
public:
  explicit WDL_String(int granularity = 1024)
    : m_hb(granularity)
  {
  }
  WDL_String(const char* initial, int maxlen = 0, int granularity = 1024)
    : m_hb(granularity)
  {
    Set(initial, maxlen);
  }
  WDL_String(const WDL_String& other)
    : m_hb(other.m_hb.GetGranul())
  {
    Set(other.Get());
  }
  WDL_String& operator=(const WDL_String& other)
  {
    if (this != &other) Set(other.Get());
    return *this;
  }

  // Never null: an empty string reads as "".
  const char* Get() const noexcept
  {
    const char* p = static_cast<const char*>(m_hb.Get());
    return p ? p : "";
  }
  char* GetWritable() noexcept { return static_cast<char*>(m_hb.Get()); }
  int GetLength() const noexcept;

  // maxlen > 0 copies at most maxlen characters.
  void Set(const char* str, int maxlen = 0);
  void Append(const char* str, int maxlen = 0);
  void Insert(const char* str, int position, int maxlen = 0);
  void DeleteSub(int position, int len);
  void SetLen(int length, bool resizeDown = false);  // pads with NULs when growing
  void SetFormatted(int maxlen, const char* fmt, ...) __attribute__((format(printf, 3, 4)));
  void AppendFormatted(int maxlen, const char* fmt, ...) __attribute__((format(printf, 3, 4)));
  void Ellipsize(int minlen, int maxlen);

private:
  void SetFormattedV(int offset, int maxlen, const char* fmt, va_list ap);

  WDL_HeapBuf m_hb;
};
