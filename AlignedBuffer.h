#pragma once
// A fixed-size array of trivially copyable values whose first element starts on a
// 64-byte boundary (a cache line, and the widest vector register), zero-filled.
//
// The engine keeps its transform buffers in these: the wide FFT code paths are
// markedly slower on data that does not start on such a boundary. The storage comes
// from calloc, which for large blocks hands out fresh zero pages without writing
// them, so a buffer (or the part of it) that no path reads never becomes resident.
//
// Threads: made and freed on the thread that owns the engine (construction,
// destruction); the elements are used by whichever thread the owner says.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>
#include <type_traits>
#include <utility>

template <class T>
class AlignedBuffer final
{
  static_assert(std::is_trivially_copyable_v<T> && std::is_trivially_destructible_v<T>);

public:
  static constexpr std::size_t kAlignment = 64;

  AlignedBuffer() noexcept = default;
  // n zero elements. Constructor thread; throws std::bad_alloc when memory runs out.
  explicit AlignedBuffer(std::size_t n) { Allocate(n); }
  ~AlignedBuffer() { std::free(mRaw); }

  AlignedBuffer(const AlignedBuffer&) = delete;
  AlignedBuffer& operator=(const AlignedBuffer&) = delete;
  AlignedBuffer(AlignedBuffer&& other) noexcept { Swap(other); }
  AlignedBuffer& operator=(AlignedBuffer&& other) noexcept
  {
    AlignedBuffer(std::move(other)).Swap(*this);
    return *this;
  }

  T* data() noexcept { return mData; }
  const T* data() const noexcept { return mData; }
  // Every element back to zero, as allocation left it.
  void Clear() noexcept
  {
    if (mData) std::memset(static_cast<void*>(mData), 0, mSize * sizeof(T));
  }
  std::size_t size() const noexcept { return mSize; }
  T& operator[](std::size_t i) noexcept { return mData[i]; }
  const T& operator[](std::size_t i) const noexcept { return mData[i]; }
  T* begin() noexcept { return mData; }
  T* end() noexcept { return mData + mSize; }
  const T* begin() const noexcept { return mData; }
  const T* end() const noexcept { return mData + mSize; }

private:
  void Allocate(std::size_t n)
  {
    if (n == 0) return;
    // calloc's zero bytes are the value zero for every type the engine stores.
    mRaw = std::calloc(n * sizeof(T) + kAlignment, 1);
    if (!mRaw) throw std::bad_alloc();
    const auto address = reinterpret_cast<std::uintptr_t>(mRaw);
    const std::uintptr_t aligned = (address + kAlignment - 1) & ~std::uintptr_t{kAlignment - 1};
    mData = reinterpret_cast<T*>(aligned);
    mSize = n;
  }

  void Swap(AlignedBuffer& other) noexcept
  {
    std::swap(mRaw, other.mRaw);
    std::swap(mData, other.mData);
    std::swap(mSize, other.mSize);
  }

  void* mRaw = nullptr;
  T* mData = nullptr;
  std::size_t mSize = 0;
};
