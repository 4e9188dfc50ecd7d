// The raster layer: bitmaps, pixel combining, blits, shapes, PNG and text.
#pragma once

#include "lice_bitmap.h"
#include "lice_blit.h"
#include "lice_pixel.h"
#include "lice_png.h"
#include "lice_shapes.h"
#include "lice_text.h"
