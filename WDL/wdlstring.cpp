#include "wdlstring.h"

#include <cstdio>
#include <cstring>

namespace
{
int BoundedLength(const char* str, int maxlen)
{
  if (!str) return 0;
  if (maxlen <= 0) return static_cast<int>(std::strlen(str));
  int n = 0;
  while (n < maxlen && str[n]) ++n;
  return n;
}
}  // namespace

int WDL_String::GetLength() const noexcept
{
  const char* p = static_cast<const char*>(m_hb.Get());
  return p ? static_cast<int>(std::strlen(p)) : 0;
}

void WDL_String::Set(const char* str, int maxlen)
{
  const int n = BoundedLength(str, maxlen);
  // Copy through a temporary when str points into our own buffer.
  const char* own = static_cast<const char*>(m_hb.Get());
  if (own && str >= own && str < own + m_hb.GetSize())
  {
    WDL_String tmp;
    tmp.Set(str, maxlen);
    Set(tmp.Get());
    return;
  }
  char* p = static_cast<char*>(m_hb.Resize(n + 1, false));
  if (!p) return;
  if (n) std::memcpy(p, str, static_cast<size_t>(n));
  p[n] = 0;
}

void WDL_String::Append(const char* str, int maxlen) { Insert(str, GetLength(), maxlen); }

void WDL_String::Insert(const char* str, int position, int maxlen)
{
  const int n = BoundedLength(str, maxlen);
  if (!n) return;
  const int len = GetLength();
  if (position < 0) position = 0;
  if (position > len) position = len;
  WDL_String copy;  // str may point into our own buffer
  copy.Set(str, n);
  char* p = static_cast<char*>(m_hb.Resize(len + n + 1, false));
  if (!p) return;
  // A string that never held text has no terminator yet: the move below carries p[len].
  p[len] = 0;
  std::memmove(p + position + n, p + position, static_cast<size_t>(len - position + 1));
  std::memcpy(p + position, copy.Get(), static_cast<size_t>(n));
}

void WDL_String::DeleteSub(int position, int len)
{
  const int total = GetLength();
  if (position < 0 || position >= total || len <= 0) return;
  if (len > total - position) len = total - position;
  char* p = GetWritable();
  std::memmove(p + position, p + position + len, static_cast<size_t>(total - position - len + 1));
  m_hb.Resize(total - len + 1, false);
}

void WDL_String::SetLen(int length, bool resizeDown)
{
  if (length < 0) length = 0;
  const int old = GetLength();
  char* p = static_cast<char*>(m_hb.Resize(length + 1, resizeDown));
  if (!p) return;
  if (length > old) std::memset(p + old, 0, static_cast<size_t>(length - old));
  p[length] = 0;
}

void WDL_String::SetFormattedV(int offset, int maxlen, const char* fmt, va_list ap)
{
  if (maxlen <= 0) maxlen = 4096;
  char* p = static_cast<char*>(m_hb.Resize(offset + maxlen + 1, false));
  if (!p) return;
  std::vsnprintf(p + offset, static_cast<size_t>(maxlen) + 1, fmt, ap);
  m_hb.Resize(offset + static_cast<int>(std::strlen(p + offset)) + 1, false);
}

void WDL_String::SetFormatted(int maxlen, const char* fmt, ...)
{
  va_list ap;
  va_start(ap, fmt);
  SetFormattedV(0, maxlen, fmt, ap);
  va_end(ap);
}

void WDL_String::AppendFormatted(int maxlen, const char* fmt, ...)
{
  va_list ap;
  va_start(ap, fmt);
  SetFormattedV(GetLength(), maxlen, fmt, ap);
  va_end(ap);
}

void WDL_String::Ellipsize(int minlen, int maxlen)
{
  const int len = GetLength();
  if (maxlen < 4 || len <= maxlen) return;
  int cut = maxlen - 3;
  if (cut < minlen) cut = minlen;
  if (cut >= len) return;
  SetLen(cut);
  Append("...");
}
