#pragma once
// The in-place text entry of the X11 editor window: the text being typed with its caret
// and selection, the rule for what may be typed, and its drawing with the raster layer.
// It opens with the whole initial text selected, so the first character typed replaces
// it. It holds no X11 state: the window feeds it keys and draws it over the editor.
//
// Threads: the editor thread.

#include <memory>
#include <string>

#include "IGraphicsStructs.h"

class LICE_IBitmap;
class LICE_CachedFont;

class X11TextEntry final
{
public:
  // rect in editor coordinates; the style's cached font is not used (the entry makes
  // its own at the window's scale). allow: the characters accepted, null for any;
  // maxLength 0 for no limit.
  X11TextEntry(const IRECT& rect, const IText& style, const char* text, const char* allow, int maxLength, int scale);
  ~X11TextEntry();
  X11TextEntry(const X11TextEntry&) = delete;
  X11TextEntry& operator=(const X11TextEntry&) = delete;

  // Whether text may stand in the entry: every character in the accepted set (when
  // there is one) and no more than maxLength characters (when there is a limit).
  static bool Accepts(const char* allow, int maxLength, const std::string& text);

  // Types UTF-8 text at the caret (replacing the selection); refused as a whole when
  // the result would not be accepted. Returns whether the text changed.
  bool Type(const std::string& utf8);
  void Backspace();
  void Delete();
  void MoveLeft();
  void MoveRight();
  void MoveHome();
  void MoveEnd();
  void SelectAll();
  // Places the caret at the character boundary nearest to an editor x coordinate.
  void PlaceCaret(int editorX);

  const std::string& Text() const noexcept { return mText; }
  int Caret() const noexcept { return mCaret; }
  bool AllSelected() const noexcept { return mAllSelected; }
  const IRECT& Rect() const noexcept { return mRect; }
  // The rectangle the entry covers in window pixels.
  IRECT WindowRect() const noexcept;

  // Draws the entry into a bitmap of WindowRect()'s size.
  void Draw(LICE_IBitmap* pBitmap);

private:
  int TextWidth(const std::string& s);
  int TextLeft(int boxW, int textW) const;

  IRECT mRect;
  IText mStyle;
  std::string mText;
  std::string mAllow;
  bool mAllowAny;
  int mMaxLength;
  int mScale;
  int mCaret;  // byte offset, always on a character boundary
  bool mAllSelected = true;
  std::unique_ptr<LICE_CachedFont> mFont;
};
