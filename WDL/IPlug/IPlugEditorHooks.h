#pragma once
// What the plug-in base asks of its editor, and nothing more: so that the base builds
// and links without the graphics framework, and a plug-in that shows no editor (an LV2
// plug-in's processor, whose UI is a library of its own) carries none of it. The
// graphics host (IGraphics) implements it; the base holds its editor through it and
// deletes it through it.
//
// Threads: as IGraphics gives them (SetParameterFromPlug from any thread,
// ParameterChangedFromGUI under the plug-in's mutex, PromptForFile on the editor thread).

class WDL_String;

// Which file dialog PromptForFile opens.
enum EFileAction
{
  kFileOpen = 0,
  kFileSave = 1
};

class IPlugEditorHooks
{
public:
  virtual ~IPlugEditorHooks() = default;

  // A parameter value for the controls bound to it (plain, or normalized when
  // normalized is set).
  virtual void SetParameterFromPlug(int paramIdx, double value, bool normalized) = 0;
  // The parameter changed through the editor (SetParameterFromGUI).
  virtual void ParameterChangedFromGUI(int paramIdx, double normalizedValue) noexcept = 0;
  // Asks the user for a file; an empty *pFilename when cancelled.
  virtual void PromptForFile(WDL_String* pFilename, EFileAction action = kFileOpen, WDL_String* pDir = nullptr,
                             const char* extensions = "") = 0;
};
