#pragma once
// How an LV2 UI and a plug-in instance see each other. The UI is a shared object of its
// own (it links X11; the plug-in's library does not), so, as with the editor's window
// (IGraphicsLinuxWindow.h), they meet only through these abstract classes: every call
// between them is a virtual call with plain arguments, and neither side calls a
// non-virtual function compiled into the other.
//
// A host that offers instance-access hands the UI the plug-in's LV2 handle, which is an
// IPlugLV2EditorAccess (the binding returns exactly that pointer from instantiate). A UI
// without it builds a plug-in of its own that never renders and talks to it the same
// way.
//
// Threads: everything here runs on the host's UI thread (the thread that calls the UI's
// instantiate, port_event, idle and cleanup), which is the editor's thread.

class IGraphicsLinuxEditor;

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
  // The editor's graphics host for a window to attach to; null when the plug-in has no
  // editor on the Linux graphics host.
  virtual IGraphicsLinuxEditor* LinuxEditor() = 0;
  // From now on, parameter changes made in the editor go to the host through pHost;
  // null disconnects (before the UI goes away).
  virtual void ConnectUIHost(IPlugLV2UIHost* pHost) = 0;
  // A control port's value as the host reports it (port_event): the plug-in takes it
  // and the editor shows it. Ports other than controls are ignored.
  virtual void ControlFromHost(int port, float value) = 0;
  // The UI's idle call: the plug-in's idle work (what it owes the host from the audio
  // thread, e.g. displays' notifications), on the editor's thread.
  virtual void EditorIdle() = 0;

protected:
  ~IPlugLV2EditorAccess() = default;  // the plug-in is deleted through its own class
};
