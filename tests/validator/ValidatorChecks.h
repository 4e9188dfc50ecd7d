#pragma once
// The validator's test suites. Each is parameterised by the binding that opens the
// plug-in (PluginUnderTest.h); a binding's instantiation file lists where it runs them.

#include <gtest/gtest.h>

#include "PluginUnderTest.h"

#include <tuple>

namespace validator
{
// Checks run once per binding.
class PluginChecks : public ::testing::TestWithParam<Binding>
{
};

// What a binding with a maximum block size does with a larger block.
class BlockLimitChecks : public ::testing::TestWithParam<Binding>
{
};

// Parameter automation from another thread while rendering, once per render route.
class ConcurrencyChecks : public ::testing::TestWithParam<Binding>
{
};

// Block-size independence at one sample rate.
class BlockSizeMatrix : public ::testing::TestWithParam<std::tuple<Binding, double>>
{
};

std::string MatrixCaseName(const ::testing::TestParamInfo<std::tuple<Binding, double>>& info);
}  // namespace validator
