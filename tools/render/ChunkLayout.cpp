#include "ChunkLayout.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <vector>

namespace
{
constexpr std::int64_t kRiffHeaderSize = 12;
constexpr std::int64_t kChunkHeaderSize = 8;
// Zero bytes at the end up to this many are taken for padding.
constexpr std::int64_t kMaxZeroPadding = 65536;

// The PEAK chunk: a version, then the time stamp, then the peaks.
constexpr std::int64_t kPeakTimestampOffset = 4;

struct ChunkHeader
{
  char mId[4];
  std::uint32_t mSize;
};

bool ReadAt(int fd, std::int64_t offset, void* data, size_t size)
{
  return pread(fd, data, size, static_cast<off_t>(offset)) == static_cast<ssize_t>(size);
}

// RIFF sizes are little-endian, AIFF sizes big-endian.
bool ReadChunkHeader(int fd, std::int64_t offset, ChunkHeader* pHeader, bool bigEndian = false)
{
  unsigned char b[kChunkHeaderSize];
  if (!ReadAt(fd, offset, b, sizeof(b))) return false;
  std::memcpy(pHeader->mId, b, 4);
  if (bigEndian)
    pHeader->mSize = static_cast<std::uint32_t>(b[4]) << 24 | static_cast<std::uint32_t>(b[5]) << 16 |
                     static_cast<std::uint32_t>(b[6]) << 8 | static_cast<std::uint32_t>(b[7]);
  else
    pHeader->mSize = static_cast<std::uint32_t>(b[4]) | static_cast<std::uint32_t>(b[5]) << 8 |
                     static_cast<std::uint32_t>(b[6]) << 16 | static_cast<std::uint32_t>(b[7]) << 24;
  return true;
}

// Chunk identifiers are four printable characters.
bool IsChunkId(const char (&id)[4])
{
  for (char c : id)
    if (c < 0x20 || c > 0x7E) return false;
  return true;
}

bool AllZero(int fd, std::int64_t from, std::int64_t to)
{
  if (to - from > kMaxZeroPadding) return false;
  std::vector<unsigned char> bytes(static_cast<size_t>(to - from));
  if (!ReadAt(fd, from, bytes.data(), bytes.size())) return false;
  for (unsigned char b : bytes)
    if (b) return false;
  return true;
}

// Where the chunk at offset ends; writers that skip the pad byte after a chunk of
// odd size are forgiven when a chunk follows without it.
std::int64_t ChunkEnd(int fd, std::int64_t offset, const ChunkHeader& h, std::int64_t fileSize)
{
  const std::int64_t end = offset + kChunkHeaderSize + h.mSize;
  if ((h.mSize & 1) == 0) return end;
  ChunkHeader next;
  const bool padded = end + 1 + kChunkHeaderSize > fileSize || !ReadChunkHeader(fd, end, &next) || !IsChunkId(next.mId);
  return padded ? end + 1 : end;
}
}  // namespace

std::int64_t UnannouncedWaveBytes(int fd, std::int64_t fileSize)
{
  char riff[kRiffHeaderSize];
  if (!ReadAt(fd, 0, riff, sizeof(riff)) || std::memcmp(riff, "RIFF", 4) != 0 || std::memcmp(riff + 8, "WAVE", 4) != 0)
    return 0;
  bool sawData = false;
  std::int64_t pos = kRiffHeaderSize;
  ChunkHeader h;
  while (pos + kChunkHeaderSize <= fileSize && ReadChunkHeader(fd, pos, &h) && IsChunkId(h.mId))
  {
    sawData = sawData || std::memcmp(h.mId, "data", 4) == 0;
    pos = ChunkEnd(fd, pos, h, fileSize);
    if (pos >= fileSize) return 0;
  }
  if (!sawData || AllZero(fd, pos, fileSize)) return 0;
  return fileSize - pos;
}

bool ClearPeakTimestamp(int fd)
{
  char form[kRiffHeaderSize];
  if (!ReadAt(fd, 0, form, sizeof(form))) return true;
  const bool wave = std::memcmp(form, "RIFF", 4) == 0 && std::memcmp(form + 8, "WAVE", 4) == 0;
  const bool aiff = std::memcmp(form, "FORM", 4) == 0 &&
                    (std::memcmp(form + 8, "AIFF", 4) == 0 || std::memcmp(form + 8, "AIFC", 4) == 0);
  struct stat st = {};
  if (!(wave || aiff) || fstat(fd, &st) != 0) return true;
  ChunkHeader h;
  for (std::int64_t pos = kRiffHeaderSize;
       pos + kChunkHeaderSize <= st.st_size && ReadChunkHeader(fd, pos, &h, aiff) && IsChunkId(h.mId);
       pos += kChunkHeaderSize + h.mSize + (h.mSize & 1))
  {
    if (std::memcmp(h.mId, "PEAK", 4) != 0) continue;
    if (h.mSize < kPeakTimestampOffset + 4) return true;
    const unsigned char zero[4] = {};
    return pwrite(fd, zero, sizeof(zero), static_cast<off_t>(pos + kChunkHeaderSize + kPeakTimestampOffset)) ==
           static_cast<ssize_t>(sizeof(zero));
  }
  return true;
}
