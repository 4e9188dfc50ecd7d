#pragma once
// Images compiled into the program (see cmake/EmbedImages.cmake), found the way a
// window binding finds an image of its plug-in's bundle: by the file name's last
// path component without its extension, and only when the name ends in a "png"
// extension of any case. Window bindings without a bundle load through this.
// Any thread; registrations usually run during static initialisation.

#include <cstddef>

class LICE_IBitmap;

// Registers PNG data under a file name ("resources/img/knob.png" and "knob.png"
// register the same image). The data is not copied and must stay valid (static
// data). A later registration under the same name replaces the earlier one.
// False when the name has no "png" extension or the data is missing.
bool RegisterEmbeddedImage(const char* fileName, const unsigned char* data, size_t size);
bool HasEmbeddedImage(const char* fileName);
// Decodes the image into a new bitmap the caller owns; null when the name is not
// registered, has no "png" extension, or the data is not a valid PNG.
LICE_IBitmap* LoadEmbeddedImage(const char* fileName);
