#pragma once
// An image in the X server's pixel format that the editor window copies to the screen:
// through MIT-SHM (a shared memory segment the server reads directly) when the server
// offers it and the caller allows it, through XPutImage otherwise. Pixels of the raster
// layer are converted into it, optionally doubled (nearest neighbour).
//
// Threads: the thread that owns the display connection.

#include <X11/Xlib.h>
#include <X11/extensions/XShm.h>
#include <cstdint>
#include <string>

class X11Surface final
{
public:
  // Needs a TrueColor visual with 8-bit red, green and blue masks and 32 bits per pixel.
  X11Surface(Display* pDisplay, Visual* pVisual, int depth, bool trySharedMemory);
  ~X11Surface();
  X11Surface(const X11Surface&) = delete;
  X11Surface& operator=(const X11Surface&) = delete;

  // Makes the image w x h pixels; false (see Error) when it cannot.
  bool Resize(int w, int h);
  int Width() const noexcept { return mWidth; }
  int Height() const noexcept { return mHeight; }
  bool UsesSharedMemory() const noexcept { return mShm; }
  const std::string& Error() const noexcept { return mError; }

  // Converts the source rectangle (x, y, w, h, in source pixels; clipped to both) of
  // raster-layer pixels into the image at (x * scale, y * scale) + (dx, dy), each pixel
  // becoming scale x scale pixels.
  void Convert(const std::uint32_t* src, int srcW, int srcH, int srcSpan, int x, int y, int w, int h, int scale,
               int dx = 0, int dy = 0);
  // Sends the image's rectangle to the drawable at the same position (clipped).
  void Put(Drawable d, GC gc, int x, int y, int w, int h);

  // The server's pixel for a raster-layer pixel (alpha ignored).
  std::uint32_t ToServerPixel(std::uint32_t p) const noexcept
  {
    return ((p >> 8) & 255u) << mRedShift | ((p >> 16) & 255u) << mGreenShift | ((p >> 24) & 255u) << mBlueShift;
  }

private:
  void Release();
  bool CreateShared(int w, int h);
  bool CreatePlain(int w, int h);

  Display* mDisplay;
  Visual* mVisual;
  int mDepth;
  bool mTryShm;
  bool mShm = false;
  XImage* mImage = nullptr;
  XShmSegmentInfo mShmInfo{};
  int mWidth = 0, mHeight = 0;
  int mRedShift = 16, mGreenShift = 8, mBlueShift = 0;
  std::string mError;
};
