// Shared pieces of the LV2 tests (see Lv2TestSupport.h).

#include "Lv2TestSupport.h"

#include <sndfile.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <limits>

namespace lv2_test
{
std::vector<std::string> HostEnvironment(const std::filesystem::path& scratch)
{
  return {"LV2_PATH=" + kBundleFolder.string(),
          "HOME=" + scratch.string(),
          "XDG_CONFIG_HOME=" + (scratch / "xdg-config").string(),
          "XDG_CACHE_HOME=" + (scratch / "xdg-cache").string(),
          "XDG_DATA_HOME=" + (scratch / "xdg-data").string(),
          "GSETTINGS_BACKEND=memory",
          "NO_AT_BRIDGE=1"};
}

void WriteWav(const std::filesystem::path& path, const Channels& audio, int sampleRate)
{
  SF_INFO info = {};
  info.channels = static_cast<int>(audio.size());
  info.samplerate = sampleRate;
  info.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
  SNDFILE* f = sf_open(path.c_str(), SFM_WRITE, &info);
  ASSERT_NE(f, nullptr) << path << ": " << sf_strerror(nullptr);
  const size_t frames = audio.empty() ? 0 : audio[0].size();
  std::vector<float> interleaved(frames * audio.size());
  for (size_t i = 0; i < frames; ++i)
    for (size_t c = 0; c < audio.size(); ++c) interleaved[i * audio.size() + c] = audio[c][i];
  sf_writef_float(f, interleaved.data(), static_cast<sf_count_t>(frames));
  sf_close(f);
}

Channels ReadWav(const std::filesystem::path& path, int* pSampleRate)
{
  SF_INFO info = {};
  SNDFILE* f = sf_open(path.c_str(), SFM_READ, &info);
  if (!f) return {};
  std::vector<float> interleaved(static_cast<size_t>(info.frames * info.channels));
  sf_readf_float(f, interleaved.data(), info.frames);
  sf_close(f);
  if (pSampleRate) *pSampleRate = info.samplerate;
  Channels out(static_cast<size_t>(info.channels), std::vector<float>(static_cast<size_t>(info.frames)));
  for (size_t i = 0; i < static_cast<size_t>(info.frames); ++i)
    for (size_t c = 0; c < out.size(); ++c) out[c][i] = interleaved[i * out.size() + c];
  return out;
}

Channels TestSignal(int channels, int frames)
{
  Channels out(static_cast<size_t>(channels), std::vector<float>(static_cast<size_t>(frames)));
  std::uint32_t noise = 12345;
  for (int c = 0; c < channels; ++c)
    for (int i = 0; i < frames; ++i)
    {
      noise = noise * 1664525u + 1013904223u;
      const double t = i / 44100.0;
      const double sweep = std::sin(2 * M_PI * (200.0 + 1500.0 * t) * t);
      const double partials = std::sin(2 * M_PI * (220.0 + 110.0 * c) * t) + 0.5 * std::sin(2 * M_PI * 1320.0 * t);
      out[static_cast<size_t>(c)][static_cast<size_t>(i)] =
        static_cast<float>(0.2 * partials + 0.1 * sweep + 0.05 * ((noise >> 8) / 8388608.0 - 1.0));
    }
  return out;
}

double MaxDifference(const Channels& a, const Channels& b)
{
  if (a.size() != b.size()) return std::numeric_limits<double>::infinity();
  double worst = 0.0;
  for (size_t c = 0; c < a.size(); ++c)
  {
    if (a[c].size() != b[c].size()) return std::numeric_limits<double>::infinity();
    for (size_t i = 0; i < a[c].size(); ++i) worst = std::max(worst, std::fabs(double(a[c][i]) - double(b[c][i])));
  }
  return worst;
}

int PeakFrame(const std::vector<float>& x)
{
  int best = 0;
  for (size_t i = 0; i < x.size(); ++i)
    if (std::fabs(x[i]) > std::fabs(x[static_cast<size_t>(best)])) best = static_cast<int>(i);
  return best;
}

std::string Figure(double v)
{
  char buf[32];
  std::snprintf(buf, sizeof(buf), "%g", v);
  return buf;
}

std::vector<std::uint8_t> ReadBytes(const std::filesystem::path& path)
{
  std::ifstream f(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
}

void WriteBytes(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes)
{
  std::ofstream f(path, std::ios::binary);
  f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}
}  // namespace lv2_test
