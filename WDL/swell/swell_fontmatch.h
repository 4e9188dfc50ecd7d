// Face-name resolution through fontconfig (internal to the font service).
#pragma once

#include <string>

struct SwellFontMatch
{
  std::string file;     // font file to open
  int index = 0;        // face index inside the file
  std::string family;   // family the name resolved to
  bool bold = false;    // the face itself is bold (else boldness must be synthesised)
  bool italic = false;  // the face itself is slanted
};

// Resolves a face name with a GDI weight and italic flag to an installed face.
// A name that is not installed resolves to the system's closest face; "Monaco"
// resolves to the monospace face. Thread-safe.
bool swell_matchFont(const char* faceName, int weight, bool italic, SwellFontMatch* out);
