#pragma once
// A plug-in that records what the editor tells it, and a control that records the
// events it receives, for the graphics host's tests.

#include <string>
#include <vector>

#include "IControl.h"
#include "IGraphicsHeadless.h"
#include "IParam.h"
#include "IPlugHostless.h"
#include "lice.h"

class TestPlug final : public IPlugHostless
{
public:
  // Parameters start as doubles 0..1 unless a test types them itself (an Init call
  // only sets the type of a parameter that has none).
  explicit TestPlug(int nParams = 4, bool initDoubles = true)
    : IPlugHostless(nParams, "1-1 2-2", 1, "Test", "Test", "Test", 0x10000, 0x54657374, 0x54657374, 0, false, false,
                    false, kAPIAU)
  {
    if (initDoubles)
      for (int i = 0; i < nParams; ++i) GetParam(i)->InitDouble("Param", 0.0, 0.0, 1.0, 0.01);
  }

  void SetParameterFromGUI(int idx, double normalizedValue) override
  {
    fromGUI.push_back({idx, normalizedValue});
    IPlugBase::SetParameterFromGUI(idx, normalizedValue);
  }
  void BeginInformHostOfParamChange(int idx) override { log.push_back("begin " + std::to_string(idx)); }
  void EndInformHostOfParamChange(int idx) override { log.push_back("end " + std::to_string(idx)); }
  void ResizeGraphics(int w, int h) override { log.push_back("resize " + std::to_string(w) + "x" + std::to_string(h)); }

  struct Push
  {
    int idx;
    double value;
  };
  std::vector<Push> fromGUI;
  std::vector<std::string> log;
};

// Records every event as text ("down 3,4 L", "drag 5,6 1,2", ...) into a shared log.
class RecordingControl : public IControl
{
public:
  RecordingControl(IPlugBase* pPlug, IRECT rect, int paramIdx, std::vector<std::string>* pLog, std::string name,
                   int* pDeleted = nullptr)
    : IControl(pPlug, rect, paramIdx),
      mLog(pLog),
      mName(std::move(name)),
      mDeleted(pDeleted)
  {
  }
  ~RecordingControl() override
  {
    if (mDeleted) ++*mDeleted;
  }

  bool Draw(IGraphics*) override { return Note("draw"); }
  void OnMouseDown(int x, int y, IMouseMod* pMod) override { Note("down", x, y, pMod); }
  void OnMouseUp(int x, int y, IMouseMod* pMod) override { Note("up", x, y, pMod); }
  void OnMouseDrag(int x, int y, int dX, int dY, IMouseMod*) override
  {
    Note("drag " + std::to_string(x) + "," + std::to_string(y) + " " + std::to_string(dX) + "," + std::to_string(dY));
  }
  void OnMouseDblClick(int x, int y, IMouseMod* pMod) override { Note("dbl", x, y, pMod); }
  void OnMouseWheel(int x, int y, IMouseMod*, int d) override
  {
    Note("wheel " + std::to_string(x) + "," + std::to_string(y) + " " + std::to_string(d));
  }
  bool OnKeyDown(int, int, int key) override
  {
    Note("key " + std::to_string(key));
    return keyResult;
  }
  void OnMouseOver(int x, int y, IMouseMod* pMod) override { Note("over", x, y, pMod); }
  void OnMouseOut() override { Note("out"); }
  void OnGUIIdle() override { Note("idle"); }

  bool keyResult = true;

private:
  bool Note(const std::string& what)
  {
    if (mLog) mLog->push_back(mName + " " + what);
    return true;
  }
  void Note(const char* what, int x, int y, IMouseMod*)
  {
    Note(std::string(what) + " " + std::to_string(x) + "," + std::to_string(y));
  }

  std::vector<std::string>* mLog;
  std::string mName;
  int* mDeleted;
};

// A control with only the base class's default behaviour.
class PlainControl final : public IControl
{
public:
  PlainControl(IPlugBase* pPlug, IRECT rect, int paramIdx = -1)
    : IControl(pPlug, rect, paramIdx)
  {
  }
  bool Draw(IGraphics*) override
  {
    ++draws;
    return true;
  }
  int draws = 0;
};

// A plug-in with a headless editor of the given size attached (surface ready).
struct EditorFixture
{
  explicit EditorFixture(int nParams = 4, int w = 100, int h = 80, bool initDoubles = true)
    : plug(nParams, initDoubles)
  {
    gfx = new IGraphicsHeadless(&plug, w, h, 0);
    plug.AttachGraphics(gfx);
  }
  TestPlug plug;
  IGraphicsHeadless* gfx;  // owned by the plug-in
};
