#pragma once
// The two process-wide caches of the graphics framework. Every editor of every
// plug-in instance in the process shares them, so an image is decoded and a font
// rendered once per process. Each operation holds the cache's own recursive mutex
// for its duration only; no lock spans a Find and the Add after a miss.

#include "IGraphicsStructs.h"
#include "mutex.h"
#include "ptrlist.h"

// Images by resource ID (-1 for bitmaps that are not resources). Owns the bitmaps.
class BitmapStorage final
{
public:
  BitmapStorage() = default;
  ~BitmapStorage();
  BitmapStorage(const BitmapStorage&) = delete;
  BitmapStorage& operator=(const BitmapStorage&) = delete;

  // The first entry with that ID, or null.
  LICE_IBitmap* Find(int ID);
  void Add(LICE_IBitmap* pBitmap, int ID = -1);
  // Removes every entry holding the pointer, then deletes the bitmap once; a
  // pointer the cache does not hold is left alone. True when it was held.
  bool Remove(LICE_IBitmap* pBitmap);
  int Count();

private:
  struct Entry
  {
    int mID;
    LICE_IBitmap* mBitmap;
  };

  WDL_PtrList<Entry> mEntries;
  WDL_Mutex mMutex;
};

// Fonts by size, orientation, style and face (exact, case-sensitive); colour and
// quality are not part of the key. Owns the fonts.
class FontStorage final
{
public:
  FontStorage() = default;
  ~FontStorage();
  FontStorage(const FontStorage&) = delete;
  FontStorage& operator=(const FontStorage&) = delete;

  LICE_CachedFont* Find(const IText* pTxt);
  void Add(LICE_CachedFont* pFont, const IText* pTxt);
  int Count();

private:
  struct Entry
  {
    int mSize, mOrientation, mStyle;
    char mFace[FONT_LEN];
    LICE_CachedFont* mFont;
  };

  WDL_PtrList<Entry> mEntries;
  WDL_Mutex mMutex;
};

// The process's caches; created on first use and destroyed at exit.
BitmapStorage& GetBitmapStorage();
FontStorage& GetFontStorage();
