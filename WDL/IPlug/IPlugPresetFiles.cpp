// Program (.fxp) and bank (.fxb) preset files. Header integers are 32-bit big-endian
// and magics are four bytes in file order. The chunk form carries the plug-in's own
// state; the parameter form carries one normalized big-endian float per parameter.
//
// Loading checks a whole file before it touches anything, so a short, foreign or
// malformed file is refused with false and leaves parameters and presets as they were.

#include "IPlugBase.h"

#include <cstdio>
#include <cstring>
#include <vector>

namespace
{
constexpr int kProgramHeaderSize = 56;  // up to and including the name field
constexpr int kProgramChunkOffset = 60;
constexpr int kBankHeaderSize = 156;  // up to the chunk size or the first program
constexpr int kBankChunkOffset = 160;
constexpr int kNameFieldSize = 28;  // 27 characters and a NUL
constexpr int kBankReservedSize = 124;

constexpr int FourCC(const char (&s)[5])
{
  return static_cast<int>(static_cast<unsigned>(static_cast<unsigned char>(s[0])) << 24 |
                          static_cast<unsigned>(static_cast<unsigned char>(s[1])) << 16 |
                          static_cast<unsigned>(static_cast<unsigned char>(s[2])) << 8 |
                          static_cast<unsigned>(static_cast<unsigned char>(s[3])));
}

constexpr int kChunkMagic = FourCC("CcnK");
constexpr int kProgramChunkMagic = FourCC("FPCh");
constexpr int kProgramParamsMagic = FourCC("FxCk");
constexpr int kBankChunkMagic = FourCC("FBCh");
constexpr int kBankParamsMagic = FourCC("FxBk");

void PutBE32(ByteChunk* pOut, int v)
{
  const unsigned u = static_cast<unsigned>(v);
  const BYTE b[4] = {static_cast<BYTE>(u >> 24), static_cast<BYTE>(u >> 16), static_cast<BYTE>(u >> 8),
                     static_cast<BYTE>(u)};
  pOut->PutBytes(b, 4);
}

void PutBEFloat(ByteChunk* pOut, float f)
{
  unsigned u;
  std::memcpy(&u, &f, 4);
  PutBE32(pOut, static_cast<int>(u));
}

// Callers check the offset against the data size first.
int GetBE32(const unsigned char* p, int offset)
{
  p += offset;
  return static_cast<int>(static_cast<unsigned>(p[0]) << 24 | static_cast<unsigned>(p[1]) << 16 |
                          static_cast<unsigned>(p[2]) << 8 | static_cast<unsigned>(p[3]));
}

// The stored normalized value, limited to 0..1 (NaN reads as 0) so that no file can
// push a parameter outside its range.
double GetBENormalized(const unsigned char* p, int offset)
{
  const unsigned u = static_cast<unsigned>(GetBE32(p, offset));
  float f;
  std::memcpy(&f, &u, 4);
  if (!(f > 0.0f)) return 0.0;
  return f > 1.0f ? 1.0 : static_cast<double>(f);
}

// Names longer than 27 characters are cut so the field keeps its NUL.
void PutName(ByteChunk* pOut, const char* name)
{
  char field[kNameFieldSize] = {};
  CopyBounded(field, name, kNameFieldSize);
  pOut->PutBytes(field, kNameFieldSize);
}

// Reads the name field without passing its 28 bytes, even when it lacks a NUL.
void GetName(const unsigned char* p, int offset, char (&name)[kNameFieldSize + 1])
{
  std::memcpy(name, p + offset, kNameFieldSize);
  name[kNameFieldSize] = 0;
}

void PutProgramHeader(ByteChunk* pOut, int byteSize, int fxMagic, int uniqueID, int version, int nParams,
                      const char* name)
{
  PutBE32(pOut, kChunkMagic);
  PutBE32(pOut, byteSize);
  PutBE32(pOut, fxMagic);
  PutBE32(pOut, 1);
  PutBE32(pOut, uniqueID);
  PutBE32(pOut, version);
  PutBE32(pOut, nParams);
  PutName(pOut, name);
}

// A parameter-form program record at offset with nParams values.
bool IsParamProgramRecord(const unsigned char* p, int offset, int nParams)
{
  return GetBE32(p, offset) == kChunkMagic && GetBE32(p, offset + 8) == kProgramParamsMagic &&
         GetBE32(p, offset + 12) == 1 && GetBE32(p, offset + 24) == nParams;
}

// The chunk stored at offset with the size given just before it, or false when the
// size is negative or runs past the data.
bool ExtractChunk(const unsigned char* p, int size, int sizeOffset, ByteChunk* pChunk)
{
  if (size < sizeOffset + 4) return false;
  const int chunkSize = GetBE32(p, sizeOffset);
  if (chunkSize < 0 || chunkSize > size - (sizeOffset + 4)) return false;
  pChunk->Clear();
  pChunk->PutBytes(p + sizeOffset + 4, chunkSize);
  return pChunk->Size() == chunkSize;
}

bool WriteFile(const char* path, const ByteChunk& data)
{
  if (!path || !path[0]) return false;
  FILE* fp = std::fopen(path, "wb");
  if (!fp) return false;
  const size_t n = static_cast<size_t>(data.Size());
  const bool written = n == 0 || std::fwrite(data.GetBytes(), 1, n, fp) == n;
  return (std::fclose(fp) == 0) && written;
}

bool ReadFile(const char* path, std::vector<unsigned char>* pData)
{
  if (!path || !path[0]) return false;
  FILE* fp = std::fopen(path, "rb");
  if (!fp) return false;
  pData->clear();
  unsigned char buf[4096];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof(buf), fp)) > 0)
  {
    if (pData->size() + n > 0x7fffffff) break;
    pData->insert(pData->end(), buf, buf + n);
  }
  const bool ok = !std::ferror(fp) && pData->size() <= 0x7fffffff;
  std::fclose(fp);
  return ok;
}
}  // namespace

// Everything a chunk-form load may change, so that a chunk that turns out to be
// malformed half-way can be undone.
struct IPlugBase::Snapshot
{
  std::vector<IPreset> presets;
  ByteChunk state;
  int currentPresetIdx = 0;
};

void IPlugBase::TakeSnapshot(Snapshot* pSnap)
{
  pSnap->presets.clear();
  for (int i = 0; i < NPresets(); ++i) pSnap->presets.push_back(*mPresets.Get(i));
  pSnap->state.Clear();
  SerializeState(&pSnap->state);
  pSnap->currentPresetIdx = mCurrentPresetIdx;
}

void IPlugBase::RestoreSnapshot(const Snapshot* pSnap)
{
  for (int i = 0; i < NPresets() && i < static_cast<int>(pSnap->presets.size()); ++i)
    *mPresets.Get(i) = pSnap->presets[static_cast<size_t>(i)];
  UnserializeState(&pSnap->state, 0);
  mCurrentPresetIdx = pSnap->currentPresetIdx;
  RedrawParamControls();
}

// ---- Writing ----

bool IPlugBase::MakeProgramFXP(ByteChunk* pOut)
{
  WDL_MutexLock lock(&mMutex);
  pOut->Clear();
  const char* name = GetPresetName(mCurrentPresetIdx);
  const int version = GetEffectVersion(true);
  if (DoesStateChunks())
  {
    ByteChunk state;
    ByteChunk::InitChunkWithIPlugVer(&state);
    if (!SerializeState(&state)) return false;
    PutProgramHeader(pOut, state.Size() + kProgramChunkOffset, kProgramChunkMagic, mUniqueID, version, NParams(), name);
    PutBE32(pOut, state.Size());
    pOut->PutChunk(&state);
  }
  else
  {
    PutProgramHeader(pOut, 0, kProgramParamsMagic, mUniqueID, version, NParams(), name);
    for (int i = 0; i < NParams(); ++i) PutBEFloat(pOut, static_cast<float>(GetParam(i)->GetNormalized()));
  }
  return true;
}

bool IPlugBase::MakeBankFXB(ByteChunk* pOut)
{
  WDL_MutexLock lock(&mMutex);
  pOut->Clear();
  const int version = GetEffectVersion(true);
  ByteChunk presets;
  if (DoesStateChunks())
  {
    ByteChunk::InitChunkWithIPlugVer(&presets);
    if (!SerializePresets(&presets)) return false;
  }
  PutBE32(pOut, kChunkMagic);
  PutBE32(pOut, DoesStateChunks() ? presets.Size() + kBankChunkOffset : 0);
  PutBE32(pOut, DoesStateChunks() ? kBankChunkMagic : kBankParamsMagic);
  PutBE32(pOut, 2);
  PutBE32(pOut, mUniqueID);
  PutBE32(pOut, version);
  PutBE32(pOut, NPresets());
  PutBE32(pOut, mCurrentPresetIdx);
  const BYTE reserved[kBankReservedSize] = {};
  pOut->PutBytes(reserved, kBankReservedSize);

  if (DoesStateChunks())
  {
    PutBE32(pOut, presets.Size());
    pOut->PutChunk(&presets);
    return true;
  }
  for (int p = 0; p < NPresets(); ++p)
  {
    const IPreset* preset = mPresets.Get(p);
    PutProgramHeader(pOut, 0, kProgramParamsMagic, mUniqueID, version, NParams(), preset->mName);
    int pos = 0;
    for (int i = 0; i < NParams(); ++i)
    {
      double v = 0.0;  // a value the chunk does not hold counts as 0
      if (pos >= 0) pos = preset->mChunk.Get(&v, pos);
      PutBEFloat(pOut, static_cast<float>(GetParam(i)->GetNormalized(v)));
    }
  }
  return true;
}

bool IPlugBase::SaveProgramAsFXPFile(const char* path)
{
  ByteChunk data;
  return MakeProgramFXP(&data) && WriteFile(path, data);
}

bool IPlugBase::SaveBankAsFXBFile(const char* path)
{
  ByteChunk data;
  return MakeBankFXB(&data) && WriteFile(path, data);
}

// ---- Reading ----

bool IPlugBase::LoadProgramFXP(const unsigned char* pData, int size)
{
  if (!pData || size < kProgramHeaderSize) return false;
  if (GetBE32(pData, 0) != kChunkMagic || GetBE32(pData, 12) != 1 || GetBE32(pData, 16) != mUniqueID ||
      GetBE32(pData, 24) != NParams())
    return false;
  char name[kNameFieldSize + 1];
  GetName(pData, 28, name);
  const int fxMagic = GetBE32(pData, 8);

  WDL_MutexLock lock(&mMutex);
  if (fxMagic == kProgramChunkMagic && DoesStateChunks())
  {
    ByteChunk state;
    if (!ExtractChunk(pData, size, kProgramChunkOffset - 4, &state)) return false;
    int pos = 0;
    ByteChunk::GetIPlugVerFromChunk(&state, &pos);  // skips the version header when present
    Snapshot before;
    TakeSnapshot(&before);
    if (UnserializeState(&state, pos) < 0)
    {
      RestoreSnapshot(&before);
      return false;
    }
    ModifyCurrentPreset(name);
    InformHostOfProgramChange();
    return true;
  }
  if (fxMagic == kProgramParamsMagic)
  {
    if (size - kProgramHeaderSize < 4LL * NParams()) return false;
    for (int i = 0; i < NParams(); ++i) GetParam(i)->SetNormalized(GetBENormalized(pData, kProgramHeaderSize + 4 * i));
    ModifyCurrentPreset(name);
    if (!RestorePreset(mCurrentPresetIdx)) OnParamReset();  // no slot to go through: announce directly
    InformHostOfProgramChange();
    return true;
  }
  return false;
}

bool IPlugBase::LoadBankFXB(const unsigned char* pData, int size)
{
  if (!pData || size < kBankHeaderSize) return false;
  // Version 1 banks predate the current-program field; both versions share this layout.
  const int fxVersion = GetBE32(pData, 12);
  if (GetBE32(pData, 0) != kChunkMagic || (fxVersion != 1 && fxVersion != 2) || GetBE32(pData, 16) != mUniqueID)
    return false;
  const int fxMagic = GetBE32(pData, 8);
  const int nPrograms = GetBE32(pData, 24);
  const int currentProgram = GetBE32(pData, 28);

  WDL_MutexLock lock(&mMutex);
  if (fxMagic == kBankChunkMagic && DoesStateChunks())
  {
    ByteChunk presets;
    if (!ExtractChunk(pData, size, kBankHeaderSize, &presets)) return false;
    int pos = 0;
    ByteChunk::GetIPlugVerFromChunk(&presets, &pos);
    Snapshot before;
    TakeSnapshot(&before);
    if (UnserializePresets(&presets, pos) < 0)
    {
      RestoreSnapshot(&before);
      return false;
    }
    InformHostOfProgramChange();
    return true;
  }
  if (fxMagic == kBankParamsMagic)
  {
    const long long recordSize = kProgramHeaderSize + 4LL * NParams();
    if (nPrograms < 0 || size - kBankHeaderSize < recordSize * nPrograms) return false;
    for (int p = 0; p < nPrograms; ++p)
      if (!IsParamProgramRecord(pData, kBankHeaderSize + static_cast<int>(recordSize * p), NParams())) return false;
    // Programs beyond the plug-in's preset slots have nowhere to go and are skipped.
    const int nApply = nPrograms < NPresets() ? nPrograms : NPresets();
    for (int p = 0; p < nApply; ++p)
    {
      const int offset = kBankHeaderSize + static_cast<int>(recordSize * p);
      // A slot whose stored state cannot be applied must still become current, or the
      // record below would overwrite the previous slot. The record replaces it anyway.
      if (!RestorePreset(p)) mCurrentPresetIdx = p;
      for (int i = 0; i < NParams(); ++i)
        GetParam(i)->SetNormalized(GetBENormalized(pData, offset + kProgramHeaderSize + 4 * i));
      char name[kNameFieldSize + 1];
      GetName(pData, offset + 28, name);
      ModifyCurrentPreset(name);
    }
    if (!RestorePreset(currentProgram)) OnParamReset();  // the live values must still reach the processor
    InformHostOfProgramChange();
    return true;
  }
  return false;
}

bool IPlugBase::LoadProgramFromFXPFile(const char* path)
{
  std::vector<unsigned char> data;
  return ReadFile(path, &data) && LoadProgramFXP(data.data(), static_cast<int>(data.size()));
}

bool IPlugBase::LoadBankFromFXBFile(const char* path)
{
  std::vector<unsigned char> data;
  return ReadFile(path, &data) && LoadBankFXB(data.data(), static_cast<int>(data.size()));
}

// ---- The prompting forms ----

bool IPlugBase::SaveProgramAsFXP(const char* defaultFileName)
{
  WDL_String file;
  return PromptForPresetFile(&file, true, "fxp", defaultFileName) && SaveProgramAsFXPFile(file.Get());
}

bool IPlugBase::SaveBankAsFXB(const char* defaultFileName)
{
  WDL_String file;
  return PromptForPresetFile(&file, true, "fxb", defaultFileName) && SaveBankAsFXBFile(file.Get());
}

bool IPlugBase::LoadProgramFromFXP()
{
  WDL_String file;
  return PromptForPresetFile(&file, false, "fxp", "") && LoadProgramFromFXPFile(file.Get());
}

bool IPlugBase::LoadBankFromFXB()
{
  WDL_String file;
  return PromptForPresetFile(&file, false, "fxb", "") && LoadBankFromFXBFile(file.Get());
}
