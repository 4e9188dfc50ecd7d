// What the framework does when memory runs out while a buffer grows: the failure is
// reported to the caller and nothing is written at the size that was not obtained.
//
// This executable replaces realloc (the growable buffers' allocator) with one that a test
// can make fail. It is built only without sanitizers, whose own allocators it would bypass.

#include "TestPlug.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdlib>
#include <new>
#include <vector>

extern "C" void* __libc_realloc(void* p, size_t size);

namespace
{
// Reallocations of at least this many bytes fail while it is non-zero.
size_t gFailFrom = 0;

// Makes every growth of at least minBytes fail for the lifetime of the object.
struct FailingGrowth
{
  explicit FailingGrowth(size_t minBytes) { gFailFrom = minBytes; }
  ~FailingGrowth() { gFailFrom = 0; }
};
}  // namespace

extern "C" void* realloc(void* p, size_t size)
{
  if (gFailFrom && size >= gFailFrom) return nullptr;
  return __libc_realloc(p, size);
}

TEST(AllocationFailure, ConstructionThrowsTheAllocationFailure)
{
  FailingGrowth failing(1);
  EXPECT_THROW(TestPlug plug, std::bad_alloc);
}

TEST(AllocationFailure, ABlockSizeThatCannotBeHeldIsNotAnnounced)
{
  TestPlug plug;
  plug.SetBlockSize(64);
  {
    FailingGrowth failing(4096);
    plug.SetBlockSize(8192);
  }
  EXPECT_EQ(plug.GetBlockSize(), 0);
  plug.SetBlockSize(128);
  EXPECT_EQ(plug.GetBlockSize(), 128);
}

// A float block longer than the scratch, when the scratch cannot grow: the host's outputs
// are silenced for exactly that block and nothing past them is written.
TEST(AllocationFailure, AFloatBlockTheScratchCannotHoldIsSilenced)
{
  TestPlug plug;
  plug.SetBlockSize(16);
  plug.SetInputChannelConnections(0, 2, true);
  plug.SetOutputChannelConnections(0, 2, true);
  const int n = 4096;
  std::vector<float> inL(n, 0.5f), inR(n, 0.25f);
  std::vector<float> outL(n + 1, 7.0f), outR(n + 1, 7.0f);
  float* ins[2] = {inL.data(), inR.data()};
  float* outs[2] = {outL.data(), outR.data()};
  int processed = 0;
  plug.process = [&](double**, double**, int) { ++processed; };
  {
    FailingGrowth failing(n * sizeof(double));
    plug.AttachInputBuffers(0, 2, ins, n);
    plug.AttachOutputBuffers(0, 2, outs);
    plug.ProcessBuffers(0.0f, n);
  }
  EXPECT_EQ(processed, 0);
  for (const std::vector<float>* pOut : {&outL, &outR})
  {
    EXPECT_EQ((*pOut)[0], 0.0f);
    EXPECT_EQ((*pOut)[n - 1], 0.0f);
    EXPECT_EQ((*pOut)[n], 7.0f);
  }
}

TEST(AllocationFailure, ChunksPresetsAndStringsKeepWhatTheyHad)
{
  ByteChunk chunk;
  const int v = 42;
  chunk.Put(&v);
  WDL_String text("kept");
  TestPlug::Options o;
  o.nPresets = 2;
  TestPlug plug(o);
  plug.InitDoubles();
  {
    // Larger than the buffers' first granule, so the growth has to reach the allocator.
    FailingGrowth failing(8192);
    std::vector<char> big(10000, 'x');
    EXPECT_EQ(chunk.PutBytes(big.data(), static_cast<int>(big.size())), 4);
    text.Set(big.data(), static_cast<int>(big.size()));
    plug.MakePresetFromBlob("blob", "AAAA", 9000);
  }
  int back = 0;
  EXPECT_EQ(chunk.Get(&back, 0), 4);
  EXPECT_EQ(back, 42);
  EXPECT_EQ(chunk.Size(), 4);
  EXPECT_STREQ(text.Get(), "kept");
  // The blob's preset was not made: both slots are still free.
  plug.PruneUninitializedPresets();
  EXPECT_EQ(plug.NPresets(), 0);
}
