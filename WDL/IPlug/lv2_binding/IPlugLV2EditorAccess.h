#pragma once
// How an LV2 UI and a plug-in instance see each other. The plug-in's library builds no
// editor and links no graphics; the UI is a shared object of its own that builds the
// editor (and links the graphics framework and X11). They meet only through these
// abstract classes: every call between them is a virtual call with plain arguments, and
// neither side calls a non-virtual function compiled into the other. The one exception
// is the state the plug-in shares (SharedEditorState): data whose layout both libraries
// compile from the same header and touch through lock-free atomics only.
//
// A host that offers instance-access hands the UI the plug-in's LV2 handle, which is an
// IPlugLV2EditorAccess (the binding returns exactly that pointer from instantiate). A UI
// without it has an editor driven by the host's control port values alone.
//
// Threads: everything here runs on the host's UI thread (the thread that calls the UI's
// instantiate, port_event, idle and cleanup), which is the editor's thread.

// The host as the plug-in reaches it through the UI: the UI's write function and the
// host's touch feature.
class IPlugLV2UIHost
{
public:
  // A new value of an input control port.
  virtual void WriteControl(int port, float value) = 0;
  // The user grabbed (true) or let go of (false) the control of a port.
  virtual void Touch(int port, bool grabbed) = 0;

protected:
  ~IPlugLV2UIHost() = default;  // owned by the UI
};

// The plug-in instance as a UI sees it.
class IPlugLV2EditorAccess
{
public:
  // What the plug-in shares with an editor built by its UI (the plug-in defines its
  // type; null when it shares nothing).
  virtual void* SharedEditorState() noexcept = 0;
  // The plain value of parameter idx (0 for an index it does not have).
  virtual double ParameterValue(int idx) = 0;
  // From now on, parameter changes made in the editor go to the host through pHost;
  // null disconnects (before the UI goes away).
  virtual void ConnectUIHost(IPlugLV2UIHost* pHost) = 0;
  // A control port's value as the host reports it (port_event): the plug-in takes it as
  // a host's parameter setter would (the UI's editor shows it on its side). Ports other
  // than controls are ignored.
  virtual void ControlFromHost(int port, float value) = 0;
  // The UI's editor changed parameter idx: the plug-in takes it as a change made in its
  // own editor (SetParameterFromGUI), and tells the host.
  virtual void ParameterFromEditor(int idx, double normalizedValue) = 0;
  // The UI's idle call: the plug-in's idle work (what it owes the host from the audio
  // thread, e.g. displays' notifications), on the editor's thread.
  virtual void EditorIdle() = 0;

protected:
  ~IPlugLV2EditorAccess() = default;  // the plug-in is deleted through its own class
};
