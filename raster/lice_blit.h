// Copying pixels from one bitmap into another: straight, scaled, rotated.
//
// Every blit clips the source rectangle to the source bitmap and the
// destination to the destination bitmap; a missing bitmap or an alpha of 0
// draws nothing. `alpha` is the blit's weight (0..1) and `mode` the mode word
// of lice_pixel.h (operation in the low byte, LICE_BLIT_USE_ALPHA,
// LICE_BLIT_FILTER_BILINEAR for the scaled and rotated forms). Editor thread.
#pragma once

#include "lice_pixel.h"

class LICE_IBitmap;

// Copies the w x h area at (srcx, srcy) of `src` to (dstx, dsty) of `dest`.
void LICE_Blit(LICE_IBitmap* dest, LICE_IBitmap* src, int dstx, int dsty, int srcx, int srcy, int w, int h, float alpha,
               int mode);

// Stretches the source rectangle onto the destination rectangle (nearest pixel,
// or bilinear with LICE_BLIT_FILTER_BILINEAR). Non-positive sizes draw nothing.
void LICE_ScaledBlit(LICE_IBitmap* dest, LICE_IBitmap* src, int dstx, int dsty, int dstw, int dsth, float srcx,
                     float srcy, float srcw, float srch, float alpha, int mode);

// Draws the source rectangle stretched onto the destination rectangle and turned
// clockwise by `angle` radians around the rectangle's centre moved by
// (rotxcent, rotycent) destination pixels. Only destination pixels inside the
// destination rectangle are drawn. With `clipToSourceRect` samples falling outside
// the source rectangle are skipped; without it they are taken from the rest of
// the source bitmap (never from outside it).
void LICE_RotatedBlit(LICE_IBitmap* dest, LICE_IBitmap* src, int dstx, int dsty, int dstw, int dsth, float srcx,
                      float srcy, float srcw, float srch, float angle, bool clipToSourceRect, float alpha, int mode,
                      float rotxcent = 0.0f, float rotycent = 0.0f);

// Resizes `dest` to the size of `src` and copies every pixel.
void LICE_Copy(LICE_IBitmap* dest, LICE_IBitmap* src);

// Every pixel of the rectangle becomes (pixel & andMask) | orBits.
void LICE_ClearRect(LICE_IBitmap* dest, int x, int y, int w, int h, LICE_pixel andMask = 0, LICE_pixel orBits = 0);

// Sets every pixel of the bitmap to `color`.
void LICE_Clear(LICE_IBitmap* dest, LICE_pixel color);
