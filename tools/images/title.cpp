// TESK.png: the title, four stacked letters drawn as outlines over the waveform,
// so the envelope stays readable through them.
#include "artwork.h"

#include <string>

namespace art
{

Canvas PaintTitle()
{
  using namespace layout;
  const int w = kTitleW, h = kTitleH;
  Canvas c(w, h);
  const FontSpec font{"DejaVu Sans", 92, true};
  const std::string letters = "TESK";
  const int pitch = 92, top = 16;
  Coverage glyphs(w, h);
  for (size_t i = 0; i < letters.size(); ++i)
    glyphs = glyphs.unite(TextCoverage(w, h, font, std::string(1, letters[i]), kTitleCentre,
                                       top + static_cast<int>(i) * pitch, Align::kCenter));
  const Coverage outline = glyphs.minus(glyphs.morphed(-2));
  c.paint(glyphs, palette::kAccent, 0.10);
  c.paint(outline, palette::kAccent, 0.85);
  return c;
}

}  // namespace art
