#pragma once
// The plug-in base Tesk's LV2 UI builds its editor on: the thirteen parameters as the
// UI shows them and no processor (no engine, no display feed of its own).
//
// - With instance-access (a running plug-in given): the editor moves the plug-in's band
//   marks and its displays drain the plug-in's display feed (TeskEditorShare); a change
//   made in the editor goes to the plug-in as a change made in its own editor would
//   (which tells the host), and a value the host reports goes to the plug-in as a host's
//   setter would; the UI's idle calls are the plug-in's idle slots.
// - Without it: the editor shows the values the host reports and writes the values the
//   user sets to the host; the band marks are the editor's own, the displays stay empty.
// Either way the editor shows a parameter change as the processor has it shown
// (ShowParamChange).
//
// Threads: everything here runs on the host's UI thread, which is the editor's thread.

#include <memory>

#include "IPlugBase.h"
#include "TeskEditorLink.h"
#include "lv2_binding/IPlugLV2EditorAccess.h"

class IGraphicsLinuxEditor;

class TeskLV2EditorPlug final : public IPlugBase
{
public:
  // Builds the editor (on the graphics host a window attaches to) for pPlugin, the
  // running plug-in, or for none.
  explicit TeskLV2EditorPlug(IPlugLV2EditorAccess* pPlugin);
  ~TeskLV2EditorPlug() override;

  // The graphics host the UI's window attaches to.
  IGraphicsLinuxEditor* LinuxEditor();
  // Where changes go to the host (the UI's write and touch functions); null for nowhere.
  void ConnectUIHost(IPlugLV2UIHost* pHost);
  // A control port's value as the host reports it (port_event).
  void ControlFromHost(int port, float value);
  // The UI's idle call.
  void Idle();

  // ==== The plug-in base ====
  // The editor shows the change (and, without a running plug-in, the own band marks
  // follow "Low" and "High").
  void OnParamChange(int idx) override;
  // The touch of a control (Begin/End) goes to the host; a new value to the running
  // plug-in, which tells the host, or straight to the host without one.
  void BeginInformHostOfParamChange(int idx) override;
  void InformHostOfParamChange(int idx, double normalizedValue) override;
  void EndInformHostOfParamChange(int idx) override;
  void InformHostOfProgramChange() override {}
  int GetSamplePos() override { return 0; }
  double GetTempo() override { return 120.0; }
  void GetTimeSig(int* pNum, int* pDenom) override { *pNum = *pDenom = 4; }
  void GetTime(ITimeInfo*) override {}
  void ResizeGraphics(int, int) override {}
  bool SendMidiMsg(IMidiMsg*) override { return false; }

private:
  IPlugLV2EditorAccess* mPlugin;
  IPlugLV2UIHost* mUIHost = nullptr;
  // The band marks without a running plug-in.
  TeskBandMarks mOwnMarks;
  TeskEditorShare mShare;
  std::unique_ptr<TeskEditorLink> mEditor;
};
