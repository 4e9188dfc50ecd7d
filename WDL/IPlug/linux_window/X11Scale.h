#pragma once
// The X11 editor window's scale: 1 or 2 window pixels per editor pixel. The editor
// itself always draws at its own size; the window doubles each pixel when the scale is 2.
//
// The rule, first match wins:
//   1. the host's choice (1 or 2) when it makes one;
//   2. GDK_SCALE when it is set to a whole number: 2 or more gives 2, 1 gives 1;
//   3. the X resources' Xft.dpi: 144 or more gives 2;
//   4. otherwise 1.

typedef struct _XDisplay Display;

// The rule above on its inputs: hostScale 0 means no choice; gdkScale is the
// environment value (or null); xResources the display's resource string (or null).
int ChooseEditorScale(int hostScale, const char* gdkScale, const char* xResources);

// The rule with GDK_SCALE from the environment and the display's resources.
int X11EditorScale(Display* pDisplay, int hostScale);
