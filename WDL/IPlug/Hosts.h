#pragma once
// Host identification: a host's name or bundle identifier becomes a host code, and
// a host code becomes the name shown to the user.

enum EHost : int
{
  kHostUninit = -1,  // not identified yet
  kHostUnknown = 0,
  kHostReaper = 1,
  kHostProTools = 2,
  kHostCubase = 3,
  kHostNuendo = 4,
  kHostSonar = 5,
  kHostVegas = 6,
  kHostFL = 7,
  kHostSamplitude = 8,
  kHostAbletonLive = 9,
  kHostReserved10 = 10,  // never produced
  kHostReserved11 = 11,  // never produced
  kHostMelodyneStudio = 12,
  kHostVSTScanner = 13,
  kHostAULab = 14,
  kHostForte = 15,
  kHostChainer = 16,
  kHostAudition = 17,
  kHostOrion = 18,
  kHostReserved19 = 19,  // never produced
  kHostSAWStudio = 20,
  kHostLogic = 21,
  kHostGarageBand = 22,
  kHostDigitalPerformer = 23,
  kHostStandalone = 24,
  kHostAudioMulch = 25,
  kHostStudioOne = 26,
  kHostVST3TestHost = 27,
  kHostArdour = 28
};

// The code of the first table entry whose key occurs in name, compared without case;
// kHostUnknown for a null or unmatched name. Names of any length are accepted.
EHost LookUpHost(const char* name);

// Writes the host's display name ("Unknown" for codes without one) into pHostName,
// which must hold MAX_HOST_NAME_LEN (32) characters.
void GetHostNameStr(EHost host, char* pHostName);
