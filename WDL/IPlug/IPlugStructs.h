#pragma once
// Plain records shared by the plug-in framework and its host bindings: the state
// byte chunk, preset slots, the instance information, MIDI messages and the host
// transport snapshot.

#include "heapbuf.h"
#include "wdlstring.h"

#include <cstring>

typedef unsigned char BYTE;

// Fixed text field widths (characters including the terminating NUL).
inline constexpr int MAX_PARAM_NAME_LEN = 32;
inline constexpr int MAX_PARAM_LABEL_LEN = 32;
inline constexpr int MAX_PARAM_GROUP_LEN = 32;
inline constexpr int MAX_PARAM_DISPLAY_LEN = 32;
inline constexpr int MAX_PARAM_DISPLAY_TEXT_LEN = 32;
inline constexpr int MAX_PRESET_NAME_LEN = 256;
inline constexpr int MAX_EFFECT_NAME_LEN = 128;
inline constexpr int MAX_HOST_NAME_LEN = 32;
inline constexpr int MAX_VERSION_STR_LEN = 32;

// Copies at most cap - 1 characters of src (null reads as "") and always terminates.
inline void CopyBounded(char* dst, const char* src, int cap) noexcept
{
  if (!dst || cap <= 0) return;
  int n = 0;
  if (src)
    while (n < cap - 1 && src[n]) ++n;
  if (n) std::memmove(dst, src, static_cast<size_t>(n));
  dst[n] = 0;
}

// A growable byte sequence with typed append and read-at-position operations.
// Values are stored in the machine's native byte order at their in-memory width,
// with no padding. A read that would pass the end returns -1 and leaves the value alone.
class ByteChunk final
{
public:
  ByteChunk() = default;

  // Appends the bytes of *pVal; returns the new size (the old one when memory ran out).
  template <class T>
  int Put(const T* pVal)
  {
    return PutBytes(pVal, static_cast<int>(sizeof(T)));
  }

  // Reads a T at startPos; returns the position after it, or -1 when it does not fit.
  template <class T>
  int Get(T* pVal, int startPos) const
  {
    return GetBytes(pVal, static_cast<int>(sizeof(T)), startPos);
  }

  int PutBytes(const void* pSrc, int nBytes);
  int GetBytes(void* pDst, int nBytes, int startPos) const;

  int PutBool(bool b)
  {
    const BYTE v = b ? 1 : 0;
    return Put(&v);
  }
  int GetBool(bool* pB, int startPos) const;

  // Length as a 32-bit signed integer, then the characters without the NUL.
  int PutStr(const char* str);
  // Reads a string written by PutStr. The string is set only for a positive length
  // (up to the length or the first NUL); the result is the position after the
  // characters, or -1 when the length is unreadable, negative or runs past the end.
  int GetStr(WDL_String* pStr, int startPos) const;

  int PutChunk(const ByteChunk* pRhs) { return PutBytes(pRhs->GetBytes(), pRhs->Size()); }

  void Clear() { mBytes.Resize(0, false); }
  int Size() const noexcept { return mBytes.GetSize(); }
  // Sets the size; new bytes are zero. Returns the resulting size.
  int Resize(int newSize);
  BYTE* GetBytes() noexcept { return mBytes.Get(); }
  const BYTE* GetBytes() const noexcept { return mBytes.Get(); }
  bool IsEqual(const ByteChunk& rhs) const;

  // The framework's version header: the magic 0x70666674 (bytes "tffp" on a
  // little-endian machine) and the framework version, both in native order.
  static constexpr int kIPlugMagic = 0x70666674;
  static constexpr int kIPlugVersion = 0x00010000;
  static void InitChunkWithIPlugVer(ByteChunk* pChunk);
  // Returns the framework version and advances *pPos by 8 when a header starts there;
  // otherwise returns 0 and leaves *pPos (or sets it to -1 when the version is cut off).
  static int GetIPlugVerFromChunk(const ByteChunk* pChunk, int* pPos);

private:
  WDL_TypedBuf<BYTE> mBytes;
};

// One preset slot: a flag, a name and the state as SerializeState writes it.
struct IPreset
{
  bool mInitialized = false;
  char mName[MAX_PRESET_NAME_LEN];
  ByteChunk mChunk;

  IPreset() { CopyBounded(mName, "empty", MAX_PRESET_NAME_LEN); }
  void SetName(const char* name) { CopyBounded(mName, name, MAX_PRESET_NAME_LEN); }
};

// What a binding's factory knows about the bundle the plug-in lives in. Every
// binding, and the hostless base, takes it as its first constructor argument, so one
// processor class builds against any of them.
struct IPlugInstanceInfo
{
  WDL_String mOSXBundleID;                // reverse-domain bundle identifier
  WDL_String mCocoaViewFactoryClassName;  // class a host instantiates for the editor view
};

// A snapshot of the host's transport. Fields the host does not report keep these values.
struct ITimeInfo
{
  double mSamplePos = -1.0;
  double mTempo = -1.0;
  double mPPQPos = -1.0;
  double mLastBar = -1.0;
  double mCycleStart = -1.0;
  double mCycleEnd = -1.0;
  int mNumerator = -1;
  int mDenominator = -1;
  bool mTransportIsRunning = false;
  bool mTransportLoopEnabled = false;
};

// A short (three-byte) MIDI message with its sample offset within the block.
struct IMidiMsg
{
  int mOffset = 0;
  BYTE mStatus = 0, mData1 = 0, mData2 = 0;

  enum EStatusMsg
  {
    kNone = 0,
    kNoteOff = 8,
    kNoteOn = 9,
    kPolyAftertouch = 10,
    kControlChange = 11,
    kProgramChange = 12,
    kChannelAftertouch = 13,
    kPitchWheel = 14
  };

  // Controller numbers of the control-change message.
  enum EControlChangeMsg
  {
    kBankSelect = 0,
    kModWheel = 1,
    kBreathController = 2,
    kFootController = 4,
    kPortamentoTime = 5,
    kDataEntryMSB = 6,
    kChannelVolume = 7,
    kBalance = 8,
    kPan = 10,
    kExpressionController = 11,
    kEffectControl1 = 12,
    kEffectControl2 = 13,
    kGeneralPurposeController1 = 16,
    kGeneralPurposeController2 = 17,
    kGeneralPurposeController3 = 18,
    kGeneralPurposeController4 = 19,
    kBankSelectLSB = 32,
    kModWheelLSB = 33,
    kSustainOnOff = 64,
    kPortamentoOnOff = 65,
    kSustenutoOnOff = 66,
    kSoftPedalOnOff = 67,
    kLegatoOnOff = 68,
    kHold2OnOff = 69,
    kSoundVariation = 70,
    kResonance = 71,
    kReleaseTime = 72,
    kAttackTime = 73,
    kCutoffFrequency = 74,
    kDecayTime = 75,
    kVibratoRate = 76,
    kVibratoDepth = 77,
    kVibratoDelay = 78,
    kSoundControllerUndefined = 79,
    kPortamentoControl = 84,
    kReverbSend = 91,
    kTremoloDepth = 92,
    kChorusSend = 93,
    kCelesteDepth = 94,
    kPhaserDepth = 95,
    kDataIncrement = 96,
    kDataDecrement = 97,
    kNRPNLSB = 98,
    kNRPNMSB = 99,
    kRPNLSB = 100,
    kRPNMSB = 101,
    kAllSoundOff = 120,
    kResetAllControllers = 121,
    kLocalControlOnOff = 122,
    kAllNotesOff = 123,
    kOmniModeOff = 124,
    kOmniModeOn = 125,
    kMonoModeOn = 126,
    kPolyModeOn = 127
  };

  IMidiMsg() = default;
  IMidiMsg(int offset, BYTE status, BYTE data1, BYTE data2) noexcept
    : mOffset(offset),
      mStatus(status),
      mData1(data1),
      mData2(data2)
  {
  }

  void MakeNoteOnMsg(int noteNumber, int velocity, int offset, int channel = 0) noexcept;
  void MakeNoteOffMsg(int noteNumber, int offset, int channel = 0) noexcept;
  // value in -1..1; the 14-bit result is limited to 0..16383.
  void MakePitchWheelMsg(double value, int channel = 0) noexcept;
  // value in 0..1, sent as 0..127.
  void MakeControlChangeMsg(EControlChangeMsg idx, double value, int channel = 0) noexcept;

  int Channel() const noexcept { return mStatus & 0x0F; }
  EStatusMsg StatusMsg() const noexcept;
  int NoteNumber() const noexcept;     // -1 unless note off, note on or aftertouch
  int Velocity() const noexcept;       // -1 unless note off or note on
  int Program() const noexcept;        // -1 unless program change
  double PitchWheel() const noexcept;  // 0 unless pitch wheel
  EControlChangeMsg ControlChangeIdx() const noexcept { return static_cast<EControlChangeMsg>(mData1); }
  double ControlChange(EControlChangeMsg idx) const noexcept;  // -1 unless that controller
  static const char* StatusMsgStr(EStatusMsg msg) noexcept;

  void Clear() noexcept
  {
    mOffset = 0;
    mStatus = mData1 = mData2 = 0;
  }
  void LogMsg() const noexcept {}
};

// A system-exclusive message; the bytes belong to the caller.
struct ISysEx
{
  int mOffset = 0;
  int mSize = 0;
  const BYTE* mData = nullptr;

  ISysEx(int offset = 0, const BYTE* pData = nullptr, int size = 0) noexcept
    : mOffset(offset),
      mSize(size),
      mData(pData)
  {
  }

  void Clear() noexcept
  {
    mOffset = mSize = 0;
    mData = nullptr;
  }
  void LogMsg() const noexcept {}
};

// Writes up to min(size, capacity / 3) bytes of pData as "%02X" pairs separated by
// spaces into str (capacity counts the NUL). Returns str. A capacity below 3 or no
// data gives "" (nothing at all for a capacity of 0 or less).
const char* SysExStr(char* str, int capacity, const BYTE* pData, int size);
