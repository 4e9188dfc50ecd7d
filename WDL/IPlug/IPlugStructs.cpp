#include "IPlugStructs.h"

// ---- ByteChunk ----

int ByteChunk::PutBytes(const void* pSrc, int nBytes)
{
  const int n = Size();
  if (nBytes <= 0 || (pSrc == nullptr)) return n;
  if (static_cast<long long>(n) + nBytes > 0x7fffffff) return n;
  BYTE* p = mBytes.Resize(n + nBytes, false);
  if (!p) return n;  // out of memory: the chunk stays as it was
  std::memcpy(p + n, pSrc, static_cast<size_t>(nBytes));
  return Size();
}

int ByteChunk::GetBytes(void* pDst, int nBytes, int startPos) const
{
  if (startPos < 0 || nBytes < 0) return -1;
  const long long endPos = static_cast<long long>(startPos) + nBytes;
  if (endPos > Size()) return -1;
  if (nBytes) std::memcpy(pDst, mBytes.Get() + startPos, static_cast<size_t>(nBytes));
  return static_cast<int>(endPos);
}

int ByteChunk::GetBool(bool* pB, int startPos) const
{
  BYTE v = 0;
  const int pos = Get(&v, startPos);
  if (pos >= 0) *pB = v != 0;
  return pos;
}

int ByteChunk::PutStr(const char* str)
{
  const int len = str ? static_cast<int>(std::strlen(str)) : 0;
  const int before = Size();
  if (Put(&len) == before) return before;
  return PutBytes(str, len);
}

int ByteChunk::GetStr(WDL_String* pStr, int startPos) const
{
  int len = 0;
  const int strStart = Get(&len, startPos);
  if (strStart < 0 || len < 0) return -1;
  const long long strEnd = static_cast<long long>(strStart) + len;
  if (strEnd > Size()) return -1;
  if (len > 0) pStr->Set(reinterpret_cast<const char*>(mBytes.Get() + strStart), len);
  return static_cast<int>(strEnd);
}

int ByteChunk::Resize(int newSize)
{
  const int old = Size();
  if (newSize < 0) newSize = 0;
  BYTE* p = mBytes.Resize(newSize, false);
  if (p && newSize > old) std::memset(p + old, 0, static_cast<size_t>(newSize - old));
  return Size();
}

bool ByteChunk::IsEqual(const ByteChunk& rhs) const
{
  return Size() == rhs.Size() &&
         (Size() == 0 || std::memcmp(GetBytes(), rhs.GetBytes(), static_cast<size_t>(Size())) == 0);
}

void ByteChunk::InitChunkWithIPlugVer(ByteChunk* pChunk)
{
  pChunk->Clear();
  const int magic = kIPlugMagic;
  const int ver = kIPlugVersion;
  pChunk->Put(&magic);
  pChunk->Put(&ver);
}

int ByteChunk::GetIPlugVerFromChunk(const ByteChunk* pChunk, int* pPos)
{
  int magic = 0;
  const int pos = pChunk->Get(&magic, *pPos);
  if (pos < 0 || magic != kIPlugMagic) return 0;
  int ver = 0;
  *pPos = pChunk->Get(&ver, pos);
  return *pPos < 0 ? 0 : ver;
}

// ---- IMidiMsg ----

namespace
{
BYTE LowNibble(int channel) { return static_cast<BYTE>(channel & 0x0F); }
}  // namespace

void IMidiMsg::MakeNoteOnMsg(int noteNumber, int velocity, int offset, int channel) noexcept
{
  mOffset = offset;
  mStatus = static_cast<BYTE>(0x90 | LowNibble(channel));
  mData1 = static_cast<BYTE>(noteNumber);
  mData2 = static_cast<BYTE>(velocity);
}

void IMidiMsg::MakeNoteOffMsg(int noteNumber, int offset, int channel) noexcept
{
  mOffset = offset;
  mStatus = static_cast<BYTE>(0x80 | LowNibble(channel));
  mData1 = static_cast<BYTE>(noteNumber);
  mData2 = 0;
}

void IMidiMsg::MakePitchWheelMsg(double value, int channel) noexcept
{
  mStatus = static_cast<BYTE>(0xE0 | LowNibble(channel));
  // Limit before the integer conversion so that no input can overflow it.
  double scaled = value * 8192.0;
  if (!(scaled > -9000.0)) scaled = -9000.0;  // also catches NaN
  if (scaled > 9000.0) scaled = 9000.0;
  int i = static_cast<int>(scaled) + 8192;
  i = i < 0 ? 0 : (i > 16383 ? 16383 : i);
  mData1 = static_cast<BYTE>(i & 0x7F);
  mData2 = static_cast<BYTE>((i >> 7) & 0x7F);
}

void IMidiMsg::MakeControlChangeMsg(EControlChangeMsg idx, double value, int channel) noexcept
{
  mStatus = static_cast<BYTE>(0xB0 | LowNibble(channel));
  mData1 = static_cast<BYTE>(idx);
  // A data byte has 7 bits: values outside 0..1 are limited rather than wrapped.
  const double scaled = value * 127.0;
  mData2 = static_cast<BYTE>(scaled > 0.0 ? (scaled < 127.0 ? static_cast<int>(scaled) : 127) : 0);
}

IMidiMsg::EStatusMsg IMidiMsg::StatusMsg() const noexcept
{
  if (mStatus >= 0x80 && mStatus <= 0xEF) return static_cast<EStatusMsg>(mStatus >> 4);
  return kNone;
}

int IMidiMsg::NoteNumber() const noexcept { return (mStatus >= 0x80 && mStatus <= 0xAF) ? mData1 : -1; }

int IMidiMsg::Velocity() const noexcept { return (mStatus >= 0x80 && mStatus <= 0x9F) ? mData2 : -1; }

int IMidiMsg::Program() const noexcept { return StatusMsg() == kProgramChange ? mData1 : -1; }

double IMidiMsg::PitchWheel() const noexcept
{
  if (StatusMsg() != kPitchWheel) return 0.0;
  return static_cast<double>((mData2 << 7) + mData1 - 8192) / 8192.0;
}

double IMidiMsg::ControlChange(EControlChangeMsg idx) const noexcept
{
  if (StatusMsg() == kControlChange && mData1 == static_cast<int>(idx)) return static_cast<double>(mData2) / 127.0;
  return -1.0;
}

const char* IMidiMsg::StatusMsgStr(EStatusMsg msg) noexcept
{
  switch (msg)
  {
    case kNone: return "none";
    case kNoteOff: return "noteoff";
    case kNoteOn: return "noteon";
    case kPolyAftertouch: return "aftertouch";
    case kControlChange: return "controlchange";
    case kProgramChange: return "programchange";
    case kChannelAftertouch: return "channelaftertouch";
    case kPitchWheel: return "pitchwheel";
    default: return "unknown";
  }
}

// ---- ISysEx ----

const char* SysExStr(char* str, int capacity, const BYTE* pData, int size)
{
  if (!str || capacity <= 0) return str;
  str[0] = 0;
  if (!pData || size <= 0) return str;
  // Each byte takes three characters ("XX" and a space or the final NUL).
  const int n = size < capacity / 3 ? size : capacity / 3;
  static const char kHex[] = "0123456789ABCDEF";
  char* p = str;
  for (int i = 0; i < n; ++i)
  {
    if (i) *p++ = ' ';
    *p++ = kHex[pData[i] >> 4];
    *p++ = kHex[pData[i] & 0x0F];
  }
  *p = 0;
  return str;
}
