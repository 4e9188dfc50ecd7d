#pragma once
// The buffer lists a host hands an Audio Unit's render call. An AudioBufferList is a
// trailing-array structure (a count, then one AudioBuffer per channel), so a list for
// more than one channel needs storage of its own; these classes hold it.
//
// Threads: made on the host's control thread; pointing a list at new samples (Point)
// allocates nothing and may run on the audio thread.

#include <AudioToolbox/AudioToolbox.h>

#include <cstddef>
#include <memory>
#include <vector>

namespace auhost
{
// A list with room for up to maxChannels buffers, each pointed at samples the caller owns.
class HostBufferList final
{
public:
  explicit HostBufferList(int maxChannels = 0)
    : mMaxChannels(maxChannels > 0 ? maxChannels : 0),
      // operator new aligns for any fundamental type, which covers the list's pointers.
      mBytes(new unsigned char[Bytes(mMaxChannels)]())
  {
  }

  int MaxChannels() const noexcept { return mMaxChannels; }

  // nChannels buffers (at most MaxChannels()) of nFrames floats, buffer c at channels[c];
  // a null channels (or a null channels[c]) leaves the buffer's data null, so that the unit
  // supplies its own. No allocation.
  AudioBufferList* Point(float* const* channels, int nChannels, UInt32 nFrames) noexcept
  {
    AudioBufferList* list = List();
    const int n = nChannels < mMaxChannels ? nChannels : mMaxChannels;
    list->mNumberBuffers = static_cast<UInt32>(n > 0 ? n : 0);
    for (int c = 0; c < n; ++c)
      list->mBuffers[c] = {1, static_cast<UInt32>(nFrames * sizeof(float)), channels ? channels[c] : nullptr};
    return list;
  }

  AudioBufferList* List() noexcept { return reinterpret_cast<AudioBufferList*>(mBytes.get()); }
  const AudioBufferList* List() const noexcept { return reinterpret_cast<const AudioBufferList*>(mBytes.get()); }

private:
  static std::size_t Bytes(int channels)
  {
    return offsetof(AudioBufferList, mBuffers) +
           sizeof(AudioBuffer) * static_cast<std::size_t>(channels > 0 ? channels : 1);
  }

  int mMaxChannels;
  std::unique_ptr<unsigned char[]> mBytes;
};

// A list that owns its samples: nChannels buffers of nFrames floats, zeroed; with
// withData false the buffers' data stay null (the unit supplies its own).
class HostBuffers final
{
public:
  HostBuffers(int nChannels, UInt32 nFrames, bool withData = true)
    : mList(nChannels),
      mSamples(static_cast<std::size_t>(nChannels > 0 ? nChannels : 0), std::vector<float>(nFrames, 0.0f))
  {
    std::vector<float*> channels;
    for (std::vector<float>& s : mSamples) channels.push_back(withData ? s.data() : nullptr);
    mList.Point(channels.data(), nChannels, nFrames);
  }

  AudioBufferList* List() noexcept { return mList.List(); }
  // Where buffer c points now (the unit may have pointed a null buffer at its own samples).
  const float* Channel(int c) const noexcept { return static_cast<const float*>(mList.List()->mBuffers[c].mData); }
  // The samples this list owns for channel c.
  std::vector<float>& Samples(int c) noexcept { return mSamples[static_cast<std::size_t>(c)]; }
  const std::vector<float>& Samples(int c) const noexcept { return mSamples[static_cast<std::size_t>(c)]; }

private:
  HostBufferList mList;
  std::vector<std::vector<float>> mSamples;
};
}  // namespace auhost
