#pragma once
// Base64 with the standard alphabet (A-Z a-z 0-9 + /) and '=' padding.

// Writes the encoding of len bytes plus a NUL to out, which needs room for
// 4 * ((len + 2) / 3) + 1 characters. Returns the number of characters written (without the NUL).
int wdl_base64encode(const unsigned char* in, char* out, int len);

// Decodes src into dest, stopping at the first character outside the alphabet (so '='
// padding or the NUL ends it) or when destsize bytes are written. Returns the bytes written.
int wdl_base64decode(const char* src, unsigned char* dest, int destsize);

// Number of characters the encoding of len bytes takes (without the NUL).
inline int wdl_base64encodedsize(int len) { return len > 0 ? 4 * ((len + 2) / 3) : 0; }
