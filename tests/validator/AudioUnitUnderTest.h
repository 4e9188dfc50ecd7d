#pragma once
// The plug-in opened as an Audio Unit host opens it: the component is found by its
// description through the Component Manager and driven only through the host calls
// (properties, parameters, initialise, render). Its state is the class-info dictionary.

#include "PluginUnderTest.h"

namespace validator
{

// How the host calls render: through the component's render selector, or through the
// function the unit hands out for fast dispatch (no lock taken, as most hosts render).
enum class AudioUnitRenderRoute
{
  kRenderSelector,
  kFastDispatch,
};

std::unique_ptr<PluginUnderTest> OpenAudioUnit(AudioUnitRenderRoute route);

inline Binding AudioUnitBinding()
{
  return {"AudioUnit", [] { return OpenAudioUnit(AudioUnitRenderRoute::kRenderSelector); }};
}

inline Binding AudioUnitFastDispatchBinding()
{
  return {"AudioUnitFastDispatch", [] { return OpenAudioUnit(AudioUnitRenderRoute::kFastDispatch); }};
}

}  // namespace validator
