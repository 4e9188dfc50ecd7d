#pragma once
// What the Mac graphics host decides around the system services it calls: which bundle
// resource an image name means, the buttons and result of a message box, the folder
// bookkeeping of the file dialogs, what kind of URL a text is, the folders it reports, where
// a hidden cursor comes back and where the editor's child window sits over a host window.
// Plain functions; the Objective-C++ host only carries their answers to the system.
// Main (user-interface) thread, except ImageResourceName, which runs on whatever thread
// loads the editor's images.

#include <optional>
#include <string>
#include <vector>

#include "IGraphicsStructs.h"

class WDL_String;

namespace mac_services
{
// ---- Images ----

// The name to look up among the bundle's resources (as type "png") for an image file name:
// its last path component without the extension. Null, a name whose extension is not
// "png" in any case, and a name left empty are refused.
std::optional<std::string> ImageResourceName(const char* fileName);

// ---- Message box ----

// Button titles of an alert for a message-box type; null for the system's default title
// (defaultButton) or for a button that is not shown.
struct MessageBoxButtons
{
  const char* defaultButton;
  const char* alternateButton;
  const char* otherButton;
};
MessageBoxButtons MessageBoxButtonsFor(int type) noexcept;

// What the alert reports (the system's response codes) and what the caller gets back.
enum class AlertResponse
{
  kDefault = 0,
  kAlternate = 1,
  kOther = 2,
  kCancel = 3,
  kFailed  // the alert could not be shown
};
// 1 for the default button, 7 for the second, 2 for the third; 2 also for the "Cancel" of
// an OK/Cancel box; 0 when nothing was pressed.
int MessageBoxResult(int type, AlertResponse response) noexcept;

// ---- File dialogs ----

inline constexpr const char* kDefaultDialogFolder = "~/Desktop";

struct FileDialogPlan
{
  bool save;                       // a save panel; else an open panel
  std::string folder;              // where the panel starts ("~" not yet expanded)
  std::string fileName;            // the proposed name, may be empty
  std::vector<std::string> types;  // allowed extensions; empty allows every file
};

// Prepares a file dialog and does its bookkeeping: the file string is emptied (it stays
// empty unless a file is chosen), and an empty folder string is set to the default folder.
// No dialog without an open window (nullopt). A null folder string uses the default folder.
std::optional<FileDialogPlan> PlanFileDialog(WDL_String* pFile, EFileAction action, WDL_String* pDir,
                                             const char* extensions, bool windowOpen);

// The extensions string split at spaces, empty pieces dropped.
std::vector<std::string> SplitExtensions(const char* extensions);

// After a confirmed dialog: the file string takes the chosen path, the folder string the
// path's folder followed by "/".
void RecordFileChoice(const char* chosenPath, WDL_String* pFile, WDL_String* pDir);

// ---- URLs and folders ----

enum class URLKind
{
  kNone,  // nothing to open
  kWeb,   // the text contains "http": opened as a URL
  kFile   // anything else: a file path
};
URLKind KindOfURL(const char* url) noexcept;

// The folder that holds a path, with one trailing "/" ("/" for a path at the root).
std::string ParentFolder(const char* path);

// HOME followed by "/Desktop/".
std::string DesktopFolder(const char* home);

// ---- Cursor and windows ----

struct ScreenPoint
{
  int x, y;
};
// A mouse location (origin bottom-left of the main display) as a point with the origin at
// the top, where the cursor is put back when it is shown again.
ScreenPoint TopDownCursorPoint(double mouseX, double mouseY, double displayHeight) noexcept;

// How far the editor's child window sits from a host window's left edge: centred when the
// host window is wider, else flush.
int ChildWindowXOffset(double hostWidth, int editorWidth) noexcept;
}  // namespace mac_services
