#include "MacServicesLogic.h"

#include <cmath>
#include <cstring>
#include <limits>

#include "wdlstring.h"

namespace mac_services
{
namespace
{
bool EqualsIgnoringCase(const char* a, const char* b) noexcept
{
  for (; *a && *b; ++a, ++b)
  {
    const char ca = (*a >= 'A' && *a <= 'Z') ? static_cast<char>(*a - 'A' + 'a') : *a;
    const char cb = (*b >= 'A' && *b <= 'Z') ? static_cast<char>(*b - 'A' + 'a') : *b;
    if (ca != cb) return false;
  }
  return *a == *b;
}

// The path without trailing slashes; a path of slashes only stays "/".
std::string WithoutTrailingSlashes(const char* path)
{
  std::string p(path);
  while (p.size() > 1 && p.back() == '/') p.pop_back();
  return p;
}

int Truncate(double v) noexcept
{
  if (!(v == v)) return 0;  // NaN
  constexpr double lo = std::numeric_limits<int>::min(), hi = std::numeric_limits<int>::max();
  return static_cast<int>(v < lo ? lo : (v > hi ? hi : v));
}
}  // namespace

// ---- Images ----

std::optional<std::string> ImageResourceName(const char* fileName)
{
  if (!fileName) return std::nullopt;
  const char* dot = std::strrchr(fileName, '.');
  if (!EqualsIgnoringCase(dot ? dot + 1 : fileName, "png")) return std::nullopt;

  std::string name = WithoutTrailingSlashes(fileName);
  if (const size_t slash = name.rfind('/'); slash != std::string::npos) name.erase(0, slash + 1);
  if (const size_t ext = name.rfind('.'); ext != std::string::npos) name.erase(ext);
  if (name.empty()) return std::nullopt;
  return name;
}

// ---- Message box ----

MessageBoxButtons MessageBoxButtonsFor(int type) noexcept
{
  switch (type)
  {
    case 4: return {"Yes", "No", nullptr};
    case 3: return {"Yes", "No", "Cancel"};
    case 1: return {nullptr, "Cancel", nullptr};
    default: return {nullptr, nullptr, nullptr};
  }
}

int MessageBoxResult(int type, AlertResponse response) noexcept
{
  constexpr int kOK = 1, kCancel = 2, kNo = 7;
  switch (response)
  {
    case AlertResponse::kDefault: return kOK;
    // The second button of an OK/Cancel box is its Cancel, not a No.
    case AlertResponse::kAlternate: return type == 1 ? kCancel : kNo;
    case AlertResponse::kOther: return kCancel;
    default: return 0;
  }
}

// ---- File dialogs ----

std::vector<std::string> SplitExtensions(const char* extensions)
{
  std::vector<std::string> types;
  if (!extensions) return types;
  for (const char* p = extensions; *p;)
  {
    const char* end = std::strchr(p, ' ');
    if (!end) end = p + std::strlen(p);
    if (end > p) types.emplace_back(p, end);
    p = *end ? end + 1 : end;
  }
  return types;
}

std::optional<FileDialogPlan> PlanFileDialog(WDL_String* pFile, EFileAction action, WDL_String* pDir,
                                             const char* extensions, bool windowOpen)
{
  if (!pFile) return std::nullopt;
  if (!windowOpen)
  {
    pFile->Set("");
    return std::nullopt;
  }
  FileDialogPlan plan;
  plan.save = action == kFileSave;
  plan.fileName = pFile->Get();
  if (pDir && pDir->GetLength() == 0) pDir->Set(kDefaultDialogFolder);
  plan.folder = pDir ? pDir->Get() : kDefaultDialogFolder;
  pFile->Set("");
  plan.types = SplitExtensions(extensions);
  return plan;
}

void RecordFileChoice(const char* chosenPath, WDL_String* pFile, WDL_String* pDir)
{
  if (!chosenPath || !pFile) return;
  pFile->Set(chosenPath);
  if (pDir) pDir->Set(ParentFolder(chosenPath).c_str());
}

// ---- URLs and folders ----

URLKind KindOfURL(const char* url) noexcept
{
  if (!url || !*url) return URLKind::kNone;
  return std::strstr(url, "http") ? URLKind::kWeb : URLKind::kFile;
}

std::string ParentFolder(const char* path)
{
  if (!path) return std::string();
  const std::string p = WithoutTrailingSlashes(path);
  const size_t slash = p.rfind('/');
  if (slash == std::string::npos) return std::string();  // a bare name has no folder part
  return p.substr(0, slash + 1);
}

std::string DesktopFolder(const char* home) { return std::string(home ? home : "") + "/Desktop/"; }

// ---- Cursor and windows ----

ScreenPoint TopDownCursorPoint(double mouseX, double mouseY, double displayHeight) noexcept
{
  return {Truncate(mouseX), Truncate(displayHeight - mouseY)};
}

int ChildWindowXOffset(double hostWidth, int editorWidth) noexcept
{
  if (!(hostWidth > editorWidth)) return 0;
  return Truncate(std::floor((hostWidth - editorWidth) * 0.5));
}
}  // namespace mac_services
