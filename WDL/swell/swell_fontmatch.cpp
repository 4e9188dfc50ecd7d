#include "swell_fontmatch.h"

#include <fontconfig/fontconfig.h>

#include <mutex>
#include <strings.h>

namespace
{

std::mutex& fontconfigMutex()
{
  static std::mutex m;
  return m;
}

// A configuration of our own rather than the process default: a host that
// loads the editor may use fontconfig itself, and must not see us set it up or
// tear it down. Released when the program (or this library) unloads.
struct PrivateConfig
{
  FcConfig* config = FcInitLoadConfigAndFonts();
  ~PrivateConfig()
  {
    if (config) FcConfigDestroy(config);
  }
};

FcConfig* fontconfigConfig()
{
  static PrivateConfig holder;
  return holder.config;
}

// Names the editor asks for that stand for a monospace face: when the named face
// is not installed they resolve to the system's monospace face, not the default.
bool isMonospaceName(const char* name) { return strcasecmp(name, "Monaco") == 0; }

int fontconfigWeight(int gdiWeight)
{
  if (gdiWeight <= 0) return FC_WEIGHT_REGULAR;
  return FcWeightFromOpenType(gdiWeight > 1000 ? 1000 : gdiWeight);
}

bool hasFamily(FcPattern* match, const char* name)
{
  FcChar8* fam = nullptr;
  for (int i = 0; FcPatternGetString(match, FC_FAMILY, i, &fam) == FcResultMatch; ++i)
  {
    if (FcStrCmpIgnoreCase(fam, reinterpret_cast<const FcChar8*>(name)) == 0) return true;
  }
  return false;
}

// One fontconfig query; returns the matched pattern (caller destroys) or null.
FcPattern* query(FcConfig* config, const char* family, int weight, bool italic)
{
  FcPattern* pat = FcPatternCreate();
  if (!pat) return nullptr;
  FcPatternAddString(pat, FC_FAMILY, reinterpret_cast<const FcChar8*>(family));
  FcPatternAddInteger(pat, FC_WEIGHT, fontconfigWeight(weight));
  FcPatternAddInteger(pat, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
  FcPatternAddBool(pat, FC_SCALABLE, FcTrue);
  FcConfigSubstitute(config, pat, FcMatchPattern);
  FcDefaultSubstitute(pat);
  FcResult result = FcResultNoMatch;
  FcPattern* match = FcFontMatch(config, pat, &result);
  FcPatternDestroy(pat);
  return match;
}

bool describe(FcPattern* match, SwellFontMatch* out)
{
  FcChar8* file = nullptr;
  if (FcPatternGetString(match, FC_FILE, 0, &file) != FcResultMatch || !file) return false;
  out->file = reinterpret_cast<const char*>(file);
  int index = 0, w = FC_WEIGHT_REGULAR, slant = FC_SLANT_ROMAN;
  FcPatternGetInteger(match, FC_INDEX, 0, &index);
  FcPatternGetInteger(match, FC_WEIGHT, 0, &w);
  FcPatternGetInteger(match, FC_SLANT, 0, &slant);
  out->index = index;
  out->bold = w >= FC_WEIGHT_DEMIBOLD;
  out->italic = slant != FC_SLANT_ROMAN;
  FcChar8* fam = nullptr;
  out->family =
    FcPatternGetString(match, FC_FAMILY, 0, &fam) == FcResultMatch && fam ? reinterpret_cast<const char*>(fam) : "";
  return true;
}

}  // namespace

bool swell_matchFont(const char* faceName, int weight, bool italic, SwellFontMatch* out)
{
  const char* name = faceName && *faceName ? faceName : "sans-serif";
  std::lock_guard<std::mutex> lock(fontconfigMutex());
  FcConfig* config = fontconfigConfig();
  if (!config) return false;
  FcPattern* match = query(config, name, weight, italic);
  if (match && !hasFamily(match, name) && isMonospaceName(name))
  {
    FcPatternDestroy(match);
    match = query(config, "monospace", weight, italic);
  }
  if (!match) return false;
  const bool ok = describe(match, out);
  FcPatternDestroy(match);
  return ok;
}
