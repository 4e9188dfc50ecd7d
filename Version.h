#pragma once
// The version label: "v1.00" in grey. It is bound to a parameter only so that the
// control base's wheel and double-click act on that parameter over the label.
//
// Threads: the editor's thread.

#include "IControl.h"

class Version final : public IControl
{
public:
  static constexpr const char* kText = "v1.00";

  explicit Version(IPlugBase* pPlug, IRECT rect = IRECT(283, 417, 333, 437), int paramIdx = 0);
  ~Version() override;

  bool Draw(IGraphics* pGraphics) override;

private:
  IText mLabelStyle;
};
