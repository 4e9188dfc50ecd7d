#include "X11Surface.h"

#include <X11/Xutil.h>
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <sys/ipc.h>
#include <sys/shm.h>

namespace
{
// The shift of an 8-bit channel mask (0xff0000 -> 16), -1 for any other mask.
int ShiftOf(unsigned long mask)
{
  for (int s = 0; s <= 24; s += 8)
    if (mask == 0xfful << s) return s;
  return -1;
}

// X errors while attaching shared memory are expected (a remote server refuses it) and
// must not reach the host's error handler, which usually ends the process.
int gTrappedError = 0;
int TrapError(Display*, XErrorEvent* e)
{
  gTrappedError = e->error_code;
  return 0;
}
}  // namespace

X11Surface::X11Surface(Display* pDisplay, Visual* pVisual, int depth, bool trySharedMemory)
  : mDisplay(pDisplay),
    mVisual(pVisual),
    mDepth(depth),
    mTryShm(trySharedMemory && XShmQueryExtension(pDisplay))
{
  mRedShift = ShiftOf(pVisual->red_mask);
  mGreenShift = ShiftOf(pVisual->green_mask);
  mBlueShift = ShiftOf(pVisual->blue_mask);
}

X11Surface::~X11Surface() { Release(); }

void X11Surface::Release()
{
  if (!mImage) return;
  if (mShm)
  {
    XShmDetach(mDisplay, &mShmInfo);
    XSync(mDisplay, False);
    mImage->data = nullptr;
    XDestroyImage(mImage);
    shmdt(mShmInfo.shmaddr);
  }
  else
  {
    XDestroyImage(mImage);  // frees the pixel memory too
  }
  mImage = nullptr;
  mShm = false;
  mWidth = mHeight = 0;
}

bool X11Surface::Resize(int w, int h)
{
  if (mImage && w == mWidth && h == mHeight) return true;
  Release();
  if (mRedShift < 0 || mGreenShift < 0 || mBlueShift < 0 || (mDepth != 24 && mDepth != 32))
  {
    mError = "the display offers no 24-bit TrueColor visual";
    return false;
  }
  if (w <= 0 || h <= 0)
  {
    mError = "empty window";
    return false;
  }
  if (!(mTryShm && CreateShared(w, h)) && !CreatePlain(w, h)) return false;
  mWidth = w;
  mHeight = h;
  return true;
}

bool X11Surface::CreateShared(int w, int h)
{
  mImage = XShmCreateImage(mDisplay, mVisual, static_cast<unsigned>(mDepth), ZPixmap, nullptr, &mShmInfo,
                           static_cast<unsigned>(w), static_cast<unsigned>(h));
  if (!mImage) return false;
  if (mImage->bits_per_pixel != 32)
  {
    XDestroyImage(mImage);
    mImage = nullptr;
    return false;
  }
  mShmInfo.shmid = shmget(IPC_PRIVATE, static_cast<size_t>(mImage->bytes_per_line) * h, IPC_CREAT | 0600);
  if (mShmInfo.shmid < 0)
  {
    XDestroyImage(mImage);
    mImage = nullptr;
    return false;
  }
  mShmInfo.shmaddr = mImage->data = static_cast<char*>(shmat(mShmInfo.shmid, nullptr, 0));
  mShmInfo.readOnly = False;
  bool attached = mShmInfo.shmaddr != reinterpret_cast<char*>(-1);
  if (attached)
  {
    XSync(mDisplay, False);
    gTrappedError = 0;
    XErrorHandler previous = XSetErrorHandler(TrapError);
    attached = XShmAttach(mDisplay, &mShmInfo) && (XSync(mDisplay, False), gTrappedError == 0);
    XSetErrorHandler(previous);
  }
  // Marked for removal now: the segment disappears once both sides detach, even if the
  // process dies.
  shmctl(mShmInfo.shmid, IPC_RMID, nullptr);
  if (!attached)
  {
    if (mShmInfo.shmaddr != reinterpret_cast<char*>(-1)) shmdt(mShmInfo.shmaddr);
    mImage->data = nullptr;
    XDestroyImage(mImage);
    mImage = nullptr;
    mTryShm = false;  // do not try again on this server
    return false;
  }
  mShm = true;
  return true;
}

bool X11Surface::CreatePlain(int w, int h)
{
  const size_t bytes = static_cast<size_t>(w) * h * 4;
  char* data = static_cast<char*>(std::calloc(bytes, 1));
  if (!data)
  {
    mError = "out of memory for the window image";
    return false;
  }
  mImage = XCreateImage(mDisplay, mVisual, static_cast<unsigned>(mDepth), ZPixmap, 0, data, static_cast<unsigned>(w),
                        static_cast<unsigned>(h), 32, w * 4);
  if (!mImage || mImage->bits_per_pixel != 32)
  {
    if (mImage)
      XDestroyImage(mImage);
    else
      std::free(data);
    mImage = nullptr;
    mError = "the display's image format is not 32 bits per pixel";
    return false;
  }
  mShm = false;
  return true;
}

void X11Surface::Convert(const std::uint32_t* src, int srcW, int srcH, int srcSpan, int x, int y, int w, int h,
                         int scale, int dx, int dy)
{
  if (!mImage || !src || scale < 1) return;
  // Clip to the source, then to what lands inside the image.
  int x0 = std::max(x, 0), y0 = std::max(y, 0);
  int x1 = std::min(x + w, srcW), y1 = std::min(y + h, srcH);
  x0 = std::max(x0, (-dx + scale - 1) / scale);
  y0 = std::max(y0, (-dy + scale - 1) / scale);
  x1 = std::min(x1, (mWidth - dx) / scale);
  y1 = std::min(y1, (mHeight - dy) / scale);
  if (x0 >= x1 || y0 >= y1) return;
  const int stride = mImage->bytes_per_line / 4;
  auto* out = reinterpret_cast<std::uint32_t*>(mImage->data);
  for (int sy = y0; sy < y1; ++sy)
  {
    const std::uint32_t* in = src + static_cast<size_t>(sy) * srcSpan;
    std::uint32_t* row = out + static_cast<size_t>(sy * scale + dy) * stride + dx;
    if (scale == 1)
    {
      for (int sx = x0; sx < x1; ++sx) row[sx] = ToServerPixel(in[sx]);
      continue;
    }
    for (int sx = x0; sx < x1; ++sx)
    {
      const std::uint32_t p = ToServerPixel(in[sx]);
      for (int k = 0; k < scale; ++k) row[sx * scale + k] = p;
    }
    for (int k = 1; k < scale; ++k)
      std::memcpy(row + static_cast<size_t>(k) * stride + x0 * scale, row + x0 * scale,
                  static_cast<size_t>(x1 - x0) * scale * 4);
  }
}

void X11Surface::Put(Drawable d, GC gc, int x, int y, int w, int h)
{
  if (!mImage) return;
  const int x0 = std::max(x, 0), y0 = std::max(y, 0);
  const int x1 = std::min(x + w, mWidth), y1 = std::min(y + h, mHeight);
  if (x0 >= x1 || y0 >= y1) return;
  const unsigned cw = static_cast<unsigned>(x1 - x0), ch = static_cast<unsigned>(y1 - y0);
  if (mShm)
  {
    XShmPutImage(mDisplay, d, gc, mImage, x0, y0, x0, y0, cw, ch, False);
    // The server reads the segment later; wait so the next frame does not overwrite it.
    XSync(mDisplay, False);
  }
  else
  {
    XPutImage(mDisplay, d, gc, mImage, x0, y0, x0, y0, cw, ch);
    XFlush(mDisplay);
  }
}
