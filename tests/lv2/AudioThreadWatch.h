#pragma once
// Counts what a thread does that an audio thread must not: heap allocations (malloc,
// calloc, realloc, aligned allocations, and operator new through them) and mutex locks.
// The test executable replaces those functions for the whole process, so calls made
// inside a plug-in loaded with dlopen are counted too; only the thread that opened a
// Watch is counted.

namespace lv2_test
{
class AudioThreadWatch final
{
public:
  AudioThreadWatch();
  ~AudioThreadWatch();
  AudioThreadWatch(const AudioThreadWatch&) = delete;
  AudioThreadWatch& operator=(const AudioThreadWatch&) = delete;

  int Allocations() const;
  int Locks() const;
};
}  // namespace lv2_test
