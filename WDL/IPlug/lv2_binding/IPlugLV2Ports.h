#pragma once
// Where a plug-in's ports sit in its LV2 description: the one layout the binding
// (IPlugLV2), the UI and the generator of the bundle's Turtle files all read, so the
// indices a host uses can never disagree between them. Binding-free: the standard
// library only.
//
// Controls come first, so a control's port index is its parameter index in every
// variant (a UI shared by a stereo and a mono plug-in writes the same indices):
//   0 .. nParams-1                 one control input per parameter
//   nParams                        the latency control output
//   nParams+1 ..                   the audio inputs, then the audio outputs

#include <string>

struct IPlugLV2PortLayout
{
  int nParams = 0, nIn = 0, nOut = 0;

  constexpr int Control(int paramIdx) const noexcept { return paramIdx; }
  constexpr int Latency() const noexcept { return nParams; }
  constexpr int AudioIn(int ch) const noexcept { return nParams + 1 + ch; }
  constexpr int AudioOut(int ch) const noexcept { return nParams + 1 + nIn + ch; }
  constexpr int Count() const noexcept { return nParams + 1 + nIn + nOut; }
  constexpr bool IsControl(int port) const noexcept { return port >= 0 && port < nParams; }
};

// A port symbol made from a parameter's name: lower case, every run of characters
// other than letters and digits one '_', none at either end, and a leading '_' when it
// would start with a digit ("Mode A" -> "mode_a", "Reduction Amount" ->
// "reduction_amount").
inline std::string IPlugLV2Symbol(const char* name)
{
  std::string s;
  bool gap = false;
  for (const char* p = name; *p; ++p)
  {
    const char c = *p;
    const bool alnum = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
    if (!alnum)
    {
      gap = !s.empty();
      continue;
    }
    if (gap) s += '_';
    gap = false;
    s += (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
  }
  if (s.empty() || (s[0] >= '0' && s[0] <= '9')) s.insert(s.begin(), '_');
  return s;
}
