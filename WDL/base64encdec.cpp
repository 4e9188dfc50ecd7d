#include "base64encdec.h"

namespace
{
const char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

int DecodeChar(char c)
{
  if (c >= 'A' && c <= 'Z') return c - 'A';
  if (c >= 'a' && c <= 'z') return c - 'a' + 26;
  if (c >= '0' && c <= '9') return c - '0' + 52;
  if (c == '+') return 62;
  if (c == '/') return 63;
  return -1;
}
}  // namespace

int wdl_base64encode(const unsigned char* in, char* out, int len)
{
  int o = 0;
  for (int i = 0; i < len; i += 3)
  {
    const int remain = len - i;
    const unsigned v =
      (unsigned)in[i] << 16 | (remain > 1 ? (unsigned)in[i + 1] << 8 : 0u) | (remain > 2 ? in[i + 2] : 0u);
    out[o++] = kAlphabet[(v >> 18) & 63];
    out[o++] = kAlphabet[(v >> 12) & 63];
    out[o++] = remain > 1 ? kAlphabet[(v >> 6) & 63] : '=';
    out[o++] = remain > 2 ? kAlphabet[v & 63] : '=';
  }
  out[o] = 0;
  return o;
}

int wdl_base64decode(const char* src, unsigned char* dest, int destsize)
{
  unsigned accum = 0;
  int bits = 0;
  int written = 0;
  for (; written < destsize; ++src)
  {
    const int v = DecodeChar(*src);
    if (v < 0) break;
    accum = (accum << 6) | static_cast<unsigned>(v);
    bits += 6;
    if (bits >= 8)
    {
      bits -= 8;
      dest[written++] = static_cast<unsigned char>((accum >> bits) & 0xff);
    }
  }
  return written;
}
