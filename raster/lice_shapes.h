// Points, lines, rectangles, circles, arcs and polygons.
//
// Each call takes the colour word, a weight `alpha` (0..1) and the mode word of
// lice_pixel.h, and clips to the destination bitmap. With LICE_BLIT_USE_ALPHA
// the weight of fills and shapes is scaled by the colour's alpha (points ignore
// the bit). `aa` anti-aliases edges by scaling the weight with pixel coverage.
// Coordinates name pixel centres: pixel (x, y) is the unit square around (x, y).
// Angles are radians, 0 pointing up, increasing clockwise. Editor thread.
#pragma once

#include "lice_pixel.h"

class LICE_IBitmap;

// The pixel at (x, y), or 0 outside the bitmap.
LICE_pixel LICE_GetPixel(LICE_IBitmap* src, int x, int y);
void LICE_PutPixel(LICE_IBitmap* dest, int x, int y, LICE_pixel color, float alpha, int mode);

// A line including both end points.
void LICE_Line(LICE_IBitmap* dest, int x1, int y1, int x2, int y2, LICE_pixel color, float alpha = 1.0f, int mode = 0,
               bool aa = true);

void LICE_FillRect(LICE_IBitmap* dest, int x, int y, int w, int h, LICE_pixel color, float alpha = 1.0f, int mode = 0);

// A one-pixel outline of the circle of radius r around (cx, cy), from
// minAngle to maxAngle (clockwise; a span of 2*pi or more is the whole circle).
void LICE_Arc(LICE_IBitmap* dest, float cx, float cy, float r, float minAngle, float maxAngle, LICE_pixel color,
              float alpha = 1.0f, int mode = 0, bool aa = true);
void LICE_Circle(LICE_IBitmap* dest, float cx, float cy, float r, LICE_pixel color, float alpha = 1.0f, int mode = 0,
                 bool aa = true);
void LICE_FillCircle(LICE_IBitmap* dest, float cx, float cy, float r, LICE_pixel color, float alpha = 1.0f,
                     int mode = 0, bool aa = true);

// A one-pixel outline of the w x h rectangle at (x, y) with quarter-circle
// corners of radius cornerRadius (0 gives square corners).
void LICE_RoundRect(LICE_IBitmap* dest, float x, float y, float w, float h, int cornerRadius, LICE_pixel color,
                    float alpha = 1.0f, int mode = 0, bool aa = true);

// Filled triangle and convex polygon, edges included.
void LICE_FillTriangle(LICE_IBitmap* dest, int x1, int y1, int x2, int y2, int x3, int y3, LICE_pixel color,
                       float alpha = 1.0f, int mode = 0);
void LICE_FillConvexPolygon(LICE_IBitmap* dest, const int* x, const int* y, int npoints, LICE_pixel color,
                            float alpha = 1.0f, int mode = 0);
