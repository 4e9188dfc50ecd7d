// The analysis windows and the packing wrappers around the transforms.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "direct_transforms.h"
#include "fft4g.h"

namespace
{

using Vec = std::vector<double>;

Vec randomVector(int size, unsigned seed)
{
  std::mt19937_64 rng(seed);
  std::uniform_real_distribution<double> dist(-1.0, 1.0);
  Vec v(static_cast<size_t>(size));
  for (double& x : v) x = dist(rng);
  return v;
}

Vec windowOf(int n, int type)
{
  Vec ones(static_cast<size_t>(n), 1.0);
  FFTOoura().fenetrage(ones.data(), n, type);
  return ones;
}

struct WindowCase
{
  const char* name;
  int type;
  double c0, c1, c2, c3;  // weight = c0 - c1 cos(x) + c2 cos(2x) - c3 cos(3x), x = 2 pi i / (n-1)
};

const WindowCase kWindows[] = {
  {"hann", 0, 0.5, 0.5, 0.0, 0.0},
  {"hamming", 1, 0.54, 0.46, 0.0, 0.0},
  {"blackman_harris", 2, 0.35875, 0.48829, 0.14128, 0.01168},
  {"blackman_nuttall", 3, 0.3635819, 0.4891775, 0.1365995, 0.0106411},
};

TEST(FftWindow, WeightsFollowTheirCosineSums)
{
  for (const WindowCase& c : kWindows)
  {
    for (int n : {2, 5, 64, 4096})
    {
      SCOPED_TRACE(std::string(c.name) + " n=" + std::to_string(n));
      const Vec w = windowOf(n, c.type);
      for (int i = 0; i < n; ++i)
      {
        const double x = 2.0 * M_PI * i / (n - 1);
        const double want = c.c0 - c.c1 * std::cos(x) + c.c2 * std::cos(2 * x) - c.c3 * std::cos(3 * x);
        ASSERT_NEAR(w[i], want, 1e-15) << "i=" << i;
        ASSERT_NEAR(w[i], w[n - 1 - i], 1e-15) << "symmetry at i=" << i;
      }
      // Both ends sit at the window's minimum; an odd length has its centre at 1.
      EXPECT_NEAR(w[0], c.c0 - c.c1 + c.c2 - c.c3, 1e-15);
      if (n % 2 == 1)
      {
        EXPECT_NEAR(w[n / 2], 1.0, 1e-15);
      }
    }
  }
}

// The engine's window: exactly 0 at both ends of 4096 samples, its peak between
// samples 2047 and 2048, so no sample is weighted 1.
TEST(FftWindow, HannOverEngineFrameTouchesZeroAndNeverOne)
{
  const Vec w = windowOf(4096, 0);
  EXPECT_EQ(w[0], 0.0);
  EXPECT_EQ(w[4095], 0.0);
  const auto peak = std::max_element(w.begin(), w.end());
  EXPECT_TRUE(peak - w.begin() == 2047 || peak - w.begin() == 2048);
  EXPECT_LT(*peak, 1.0);
  EXPECT_EQ(w[2047], w[2048]);
}

// Only the windowed span changes: the engine windows the first half of a longer
// buffer and relies on the rest staying as it is.
TEST(FftWindow, TouchesOnlyTheGivenSpan)
{
  Vec data(8192, 2.0);
  FFTOoura().fenetrage(data.data(), 4096, 0);
  EXPECT_EQ(data[0], 0.0);
  for (int i = 4096; i < 8192; ++i) ASSERT_EQ(data[i], 2.0) << "i=" << i;
}

TEST(FftWindow, UnknownTypesAndDegenerateLengthsLeaveDataUnchanged)
{
  struct Case
  {
    const char* name;
    int n;
    int type;
  };
  const Case cases[] = {
    {"type 4", 16, 4}, {"type -1", 16, -1}, {"type 99", 16, 99},
    {"n 0", 0, 0},     {"n -5", -5, 1},     {"n 1 (the centre weighs 1)", 1, 0},
  };
  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.name);
    const Vec input = randomVector(16, 3);
    Vec data = input;
    FFTOoura().fenetrage(data.data(), c.n, c.type);
    EXPECT_EQ(data, input);
  }
}

struct WorkAreas
{
  explicit WorkAreas(int n)
    : ip(2 + static_cast<size_t>(std::ceil(std::sqrt(n / 2.0))), 0),
      w(static_cast<size_t>(n / 2))
  {
  }
  std::vector<int> ip;
  Vec w;
};

// fft splits the packed spectrum into n/2+1 bins in the exp(-i...) sign
// convention; ifft undoes it to single-precision accuracy.
TEST(FftWrappers, FftSplitsPackedSpectrumAndIfftRestoresInput)
{
  const FFTOoura fft;
  for (int n : {2, 16, 4096, 8192})
  {
    SCOPED_TRACE("n=" + std::to_string(n));
    const Vec input = randomVector(n, 23);
    WorkAreas work(n);

    Vec packed = input;
    fft.rdft(n, 1, packed.data(), work.ip.data(), work.w.data());

    Vec a = input;
    std::vector<float> re(static_cast<size_t>(n / 2 + 1)), im(static_cast<size_t>(n / 2 + 1));
    fft.fft(n, work.ip.data(), work.w.data(), a.data(), re.data(), im.data());
    EXPECT_EQ(re[0], static_cast<float>(packed[0]));
    EXPECT_EQ(re[n / 2], static_cast<float>(packed[1]));
    EXPECT_EQ(im[0], 0.0f);
    EXPECT_EQ(im[n / 2], 0.0f);
    for (int k = 1; k < n / 2; ++k)
    {
      ASSERT_EQ(re[k], static_cast<float>(packed[2 * k])) << "bin " << k;
      ASSERT_EQ(im[k], static_cast<float>(-packed[2 * k + 1])) << "bin " << k;
    }

    Vec restored(static_cast<size_t>(n), 0.0);
    fft.ifft(n, work.ip.data(), work.w.data(), restored.data(), re.data(), im.data());
    const double peak =
      *std::max_element(re.begin(), re.end(), [](float x, float y) { return std::fabs(x) < std::fabs(y); });
    for (int j = 0; j < n; ++j) ASSERT_NEAR(restored[j], input[j], 1e-6 * std::max(1.0, std::fabs(peak))) << "j=" << j;
  }
}

// nami_fft transforms the first n/2 real values as complex values; nami_ifft
// brings them back. The copy helpers move real parts in and out.
TEST(FftWrappers, NamiTransformsMatchDirectSumAndRoundTrip)
{
  const FFTOoura fft;
  for (int n : {2, 4, 64, 1024})
  {
    SCOPED_TRACE("n=" + std::to_string(n));
    const int h = n / 2;
    const Vec frame = randomVector(h, 29);
    std::vector<ComplexNumber> spectrum(static_cast<size_t>(n), ComplexNumber{-7.0, -7.0});
    fft.nami_fft(n, frame.data(), spectrum.data());

    Vec interleaved(static_cast<size_t>(2 * h), 0.0);
    for (int k = 0; k < h; ++k) interleaved[2 * k] = frame[k];
    const Vec want = direct::cdft(1, interleaved);
    for (int k = 0; k < h; ++k)
    {
      ASSERT_NEAR(spectrum[k].re, want[2 * k], 1e-12 * h) << "bin " << k;
      ASSERT_NEAR(spectrum[k].im, want[2 * k + 1], 1e-12 * h) << "bin " << k;
    }
    EXPECT_EQ(spectrum[h].re, -7.0);  // beyond the h transformed values

    Vec back(static_cast<size_t>(h), 0.0);
    fft.nami_ifft(n, spectrum.data(), back.data());
    for (int k = 0; k < h; ++k) ASSERT_NEAR(back[k], frame[k], 1e-14 * h) << "k=" << k;
  }

  const Vec frame = randomVector(8, 31);
  std::vector<ComplexNumber> spectrum(8);
  fft.copy_to_spectrum(8, frame.data(), spectrum.data());
  Vec back(8, 0.0);
  fft.copy_to_frame(8, spectrum.data(), back.data());
  EXPECT_EQ(back, frame);
  for (const ComplexNumber& c : spectrum) EXPECT_EQ(c.im, 0.0);
}

}  // namespace
