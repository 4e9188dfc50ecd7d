#include "Hosts.h"

#include "IPlugStructs.h"

#include <cctype>
#include <cstring>

namespace
{
struct HostKey
{
  const char* key;  // lower case
  EHost host;
};

// Tested in this order; the first key found wins where names overlap.
const HostKey kHostKeys[] = {
  {"cubase", kHostCubase},
  {"reaper", kHostReaper},
  {"nuendo", kHostNuendo},
  {"cakewalk", kHostSonar},
  {"samplitude", kHostSamplitude},
  {"fruity", kHostFL},
  {"live", kHostAbletonLive},
  {"melodyne", kHostMelodyneStudio},
  {"vstmanlib", kHostVSTScanner},
  {"aulab", kHostAULab},
  {"garageband", kHostGarageBand},
  {"forte", kHostForte},
  {"chainer", kHostChainer},
  {"audition", kHostAudition},
  {"orion", kHostOrion},
  {"sawstudio", kHostSAWStudio},
  {"logic", kHostLogic},
  {"digital", kHostDigitalPerformer},
  {"audiomulch", kHostAudioMulch},
  {"presonus", kHostStudioOne},
  {"vst3plugintesthost", kHostVST3TestHost},
  {"protools", kHostProTools},
  {"ardour", kHostArdour},
  {"standalone", kHostStandalone},
};

// Case-insensitive substring test that needs no copy of the name, so a name of any
// length is safe.
bool ContainsNoCase(const char* name, const char* lowerKey)
{
  const size_t keyLen = std::strlen(lowerKey);
  for (const char* start = name; *start; ++start)
  {
    size_t i = 0;
    while (i < keyLen && start[i] &&
           std::tolower(static_cast<unsigned char>(start[i])) == static_cast<unsigned char>(lowerKey[i]))
      ++i;
    if (i == keyLen) return true;
  }
  return false;
}
}  // namespace

EHost LookUpHost(const char* name)
{
  if (!name) return kHostUnknown;
  for (const HostKey& k : kHostKeys)
    if (ContainsNoCase(name, k.key)) return k.host;
  return kHostUnknown;
}

void GetHostNameStr(EHost host, char* pHostName)
{
  const char* s = "Unknown";
  switch (host)
  {
    case kHostReaper: s = "Reaper"; break;
    case kHostProTools: s = "ProTools"; break;
    case kHostCubase: s = "Cubase"; break;
    case kHostNuendo: s = "Nuendo"; break;
    case kHostSonar: s = "Sonar"; break;
    case kHostVegas: s = "Vegas"; break;
    case kHostFL: s = "FLStudio"; break;
    case kHostSamplitude: s = "Samplitude"; break;
    case kHostAbletonLive: s = "Live"; break;
    case kHostVSTScanner: s = "VSTScanner"; break;
    case kHostAULab: s = "AULab"; break;
    case kHostForte: s = "Forte"; break;
    case kHostChainer: s = "Chainer"; break;
    case kHostAudition: s = "Audition"; break;
    case kHostOrion: s = "Orion"; break;
    case kHostSAWStudio: s = "SAWStudio"; break;
    case kHostLogic: s = "Logic"; break;
    case kHostGarageBand: s = "GarageBand"; break;
    case kHostDigitalPerformer: s = "DigitalPerformer"; break;
    case kHostStandalone: s = "Standalone"; break;
    case kHostAudioMulch: s = "AudioMulch"; break;
    case kHostStudioOne: s = "StudioOne"; break;
    case kHostVST3TestHost: s = "VST3PluginTestHost"; break;
    case kHostArdour: s = "Ardour"; break;
    default: break;  // includes the code that is matched but has no display name
  }
  CopyBounded(pHostName, s, MAX_HOST_NAME_LEN);
}
