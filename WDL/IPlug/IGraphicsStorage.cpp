#include "IGraphicsStorage.h"

#include <cstring>

#include "lice.h"

namespace
{
// Deletes every distinct pointer of the list once: the same bitmap may sit in
// several entries (a resource that was also retained).
template <class Entry, class Member>
void DeleteDistinct(WDL_PtrList<Entry>& entries, Member member)
{
  const int n = entries.GetSize();
  for (int i = 0; i < n; ++i)
  {
    auto* p = entries.Get(i)->*member;
    bool seen = false;
    for (int j = 0; j < i && !seen; ++j) seen = entries.Get(j)->*member == p;
    if (!seen) delete p;
  }
  entries.Empty(true);
}
}  // namespace

// ---- Bitmaps ----

BitmapStorage::~BitmapStorage() { DeleteDistinct(mEntries, &Entry::mBitmap); }

LICE_IBitmap* BitmapStorage::Find(int ID)
{
  WDL_MutexLock lock(&mMutex);
  for (int i = 0; i < mEntries.GetSize(); ++i)
    if (mEntries.Get(i)->mID == ID) return mEntries.Get(i)->mBitmap;
  return nullptr;
}

void BitmapStorage::Add(LICE_IBitmap* pBitmap, int ID)
{
  if (!pBitmap) return;
  WDL_MutexLock lock(&mMutex);
  mEntries.Add(new Entry{ID, pBitmap});
}

bool BitmapStorage::Remove(LICE_IBitmap* pBitmap)
{
  if (!pBitmap) return false;
  WDL_MutexLock lock(&mMutex);
  bool held = false;
  for (int i = mEntries.GetSize() - 1; i >= 0; --i)
  {
    if (mEntries.Get(i)->mBitmap != pBitmap) continue;
    mEntries.Delete(i, true);
    held = true;
  }
  // Only a bitmap the cache owned is deleted, and only once, so no entry is left
  // pointing at freed memory.
  if (held) delete pBitmap;
  return held;
}

int BitmapStorage::Count()
{
  WDL_MutexLock lock(&mMutex);
  return mEntries.GetSize();
}

// ---- Fonts ----

FontStorage::~FontStorage() { DeleteDistinct(mEntries, &Entry::mFont); }

LICE_CachedFont* FontStorage::Find(const IText* pTxt)
{
  WDL_MutexLock lock(&mMutex);
  for (int i = 0; i < mEntries.GetSize(); ++i)
  {
    const Entry* e = mEntries.Get(i);
    if (e->mSize == pTxt->mSize && e->mOrientation == pTxt->mOrientation && e->mStyle == pTxt->mStyle &&
        std::strncmp(e->mFace, pTxt->mFont, FONT_LEN) == 0)
      return e->mFont;
  }
  return nullptr;
}

void FontStorage::Add(LICE_CachedFont* pFont, const IText* pTxt)
{
  if (!pFont) return;
  Entry* e = new Entry{pTxt->mSize, pTxt->mOrientation, static_cast<int>(pTxt->mStyle), {}, pFont};
  std::memcpy(e->mFace, pTxt->mFont, strnlen(pTxt->mFont, FONT_LEN - 1));
  WDL_MutexLock lock(&mMutex);
  mEntries.Add(e);
}

int FontStorage::Count()
{
  WDL_MutexLock lock(&mMutex);
  return mEntries.GetSize();
}

BitmapStorage& GetBitmapStorage()
{
  static BitmapStorage storage;
  return storage;
}

FontStorage& GetFontStorage()
{
  static FontStorage storage;
  return storage;
}
