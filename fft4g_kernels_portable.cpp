// The portable code path: the transform template with one complex value per
// step in plain C++. Every platform builds it; on x86-64 it is the reference the
// vector paths are tested against.

#include "fft4g_kernels_impl.h"

namespace fft4g
{

const Kernels& portableKernels() noexcept
{
  static constexpr Kernels kKernels = impl::Fft<impl::ScalarLanes>::table();
  return kKernels;
}

}  // namespace fft4g
