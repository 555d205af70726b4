// platform_windows.cpp: Windows, where a process may have to make its own console and the menu is
// Windows' own popup menu, since freeglut draws its menus with bitmap fonts that have no Hangul.
//
// The exe is a console program: Explorer gives it a console window, and a shell waits for it and
// keeps its redirections (docs/windows.md). Its manifest declares it aware of each monitor's scale
// (per-monitor v2), so Windows neither stretches nor blurs the window: the program sizes it
// itself, kWindowSizePx logical pixels a side at the monitor's scale, and follows the scale.
#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "glut_api.h"
#include "platform.h"

namespace {

constexpr UINT kNoChoice = 0;  // What TrackPopupMenuEx returns when the menu was dismissed.

HMENU mainMenu = nullptr;
WNDPROC glutWindowProc = nullptr;  // freeglut's own window procedure, which gets every message
                                   // but the right button's press, the close and a new scale.

// The window's edge in physical pixels at a monitor's dots per inch; 96 is the scale of 100%.
int EdgeForDpi(UINT dpi) {
  return MulDiv(kWindowSizePx, static_cast<int>(dpi), USER_DEFAULT_SCREEN_DPI);
}

// The window opened at the system's scale, that of the primary monitor when the user signed in;
// on a monitor of another scale it takes that monitor's.
void MatchMonitorScale(HWND window) {
  const int edgePx = EdgeForDpi(GetDpiForWindow(window));
  if (edgePx != windowEdgePx) {
    windowEdgePx = edgePx;
    glutReshapeWindow(edgePx, edgePx);
  }
}

// The window moved to a monitor of another scale, or the scale changed: it takes the rectangle
// Windows suggests, which keeps the same part of it under the pointer while it is dragged across,
// and the scene is drawn at the new size.
void FollowScaleChange(HWND window, WPARAM newDpi, LPARAM suggestedRect) {
  windowEdgePx = EdgeForDpi(HIWORD(newDpi));
  const RECT* rect = reinterpret_cast<const RECT*>(suggestedRect);
  SetWindowPos(window, nullptr, rect->left, rect->top, rect->right - rect->left,
               rect->bottom - rect->top, SWP_NOZORDER | SWP_NOACTIVATE);
  glutPostRedisplay();
}

// True when the C runtime's stream has somewhere to write: a console, a file or a pipe.
bool HasTarget(std::FILE* stream) {
  const int fd = _fileno(stream);
  if (fd < 0) return false;
  const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(fd));
  return handle != INVALID_HANDLE_VALUE && handle != nullptr &&
         GetFileType(handle) != FILE_TYPE_UNKNOWN;
}

// A label of the shared table as UTF-16, which AppendMenuW draws with the system font.
std::wstring Utf16(const char* utf8) {
  const int length = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8, -1, nullptr, 0);
  if (length <= 0) return L"?";
  std::wstring text(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8, -1, text.data(), length);
  text.pop_back();  // the terminator, which std::wstring keeps itself
  return text;
}

// Entry k of the table has the command identifier k + 1, since entries 5 and 6 share a value and
// 0 means no choice.
HMENU BuildMainMenu() {
  HMENU menu = CreatePopupMenu();
  UINT id = 1;
  for (const MenuEntry& entry : kMainMenuEntries) {
    AppendMenuW(menu, MF_STRING, id++, Utf16(entry.label).c_str());
  }
  return menu;
}

// Opens the menu with its top-left corner at the pointer and waits for it: TPM_RIGHTBUTTON lets
// the right button choose, so releasing on an entry after a press and a move chooses it, as does
// a click on an entry. The menu runs its own modal loop, so freeglut's timers wait until it closes.
void ShowMainMenu(HWND window, LPARAM clientPoint) {
  POINT at{static_cast<short>(LOWORD(clientPoint)), static_cast<short>(HIWORD(clientPoint))};
  ClientToScreen(window, &at);
  const UINT chosen = static_cast<UINT>(TrackPopupMenuEx(
      mainMenu, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON | TPM_RETURNCMD | TPM_NONOTIFY, at.x,
      at.y, window, nullptr));
  if (chosen != kNoChoice && chosen <= kMainMenuEntries.size()) {
    MyMainMenu(kMainMenuEntries[chosen - 1].value);
  }
}

// The right button's press opens the menu. Closing the window ends the main loop with the window
// still there: freeglut would destroy it at once and then serve the timers due in the same turn
// of its loop, whose glutPostRedisplay, with no window left, ends the process with status 1.
// freeglut destroys the window itself once its loop has returned. A change of scale resizes the
// window, which freeglut then hears of as an ordinary resize.
LRESULT CALLBACK PlatformWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_RBUTTONDOWN:
      ShowMainMenu(window, lParam);
      return 0;
    case WM_CLOSE:
      glutLeaveMainLoop();
      return 0;
    case WM_DPICHANGED:
      FollowScaleChange(window, wParam, lParam);
      return 0;
    default:
      return CallWindowProcA(glutWindowProc, window, message, wParam, lParam);
  }
}

// freeglut keeps the new window's context current and exposes no handle; the context's device
// context belongs to the window. Its class is registered with the ANSI calls, hence the A forms.
// The first call, from either step, puts PlatformWindowProc in front of freeglut's procedure.
HWND SceneWindow() {
  HWND window = WindowFromDC(wglGetCurrentDC());
  if (glutWindowProc == nullptr) {
    glutWindowProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&PlatformWindowProc)));
  }
  return window;
}

}  // namespace

void AttachConsole() {
  // Fails, changing nothing, when the process already has a console (cmd, Explorer's own).
  AllocConsole();
  // Standard output and error stay where they already go; only a stream with nowhere to write is
  // reopened on the console. Reopening a redirected one would leave its file or pipe empty.
  for (std::FILE* stream : {stdout, stderr}) {
    if (!HasTarget(stream)) {
      std::FILE* acStreamOut = nullptr;
      freopen_s(&acStreamOut, "CONOUT$", "wt", stream);
    }
  }
}

namespace {

// What a window's device context must offer for freeglut's window: the pixel format it asks for.
constexpr DWORD kOpenGlWindowFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL;

// Asks a throwaway window's device context for the RGB pixel format freeglut will ask for, and
// checks that the format Windows offers really is one for OpenGL in a window.
bool HasOpenGlPixelFormat() {
  HWND probe = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
  if (probe == nullptr) return false;
  HDC device = GetDC(probe);
  PIXELFORMATDESCRIPTOR format{};
  format.nSize = sizeof format;
  format.nVersion = 1;
  format.dwFlags = kOpenGlWindowFlags;
  format.iPixelType = PFD_TYPE_RGBA;
  format.cColorBits = 24;
  const int chosen = ChoosePixelFormat(device, &format);
  const bool usable = chosen != 0 && DescribePixelFormat(device, chosen, sizeof format, &format) &&
                      (format.dwFlags & kOpenGlWindowFlags) == kOpenGlWindowFlags &&
                      format.iPixelType == PFD_TYPE_RGBA;
  ReleaseDC(probe, device);
  DestroyWindow(probe);
  return usable;
}

}  // namespace

// freeglut connects as it opens the window, which opens on the primary monitor at its top-left
// corner: at the system's scale. Where no OpenGL pixel format can be had it would open the window
// anyway, without a GL context, and the program would run on with a blank window.
void ConnectDisplay() {
  if (HasOpenGlPixelFormat()) {
    windowEdgePx = EdgeForDpi(GetDpiForSystem());
    return;
  }
  constexpr char kNoOpenGl[] =
      "cannot open its window: the display offers no OpenGL pixel format; install or update the "
      "graphics driver, or turn on 3D acceleration in a virtual machine or remote session";
  std::fprintf(stderr, "sample-drawing: %s\n", kNoOpenGl);
  MessageBoxA(nullptr, kNoOpenGl, kWindowTitle, MB_OK | MB_ICONERROR);
  std::exit(1);
}

void FollowWindow() {
  // freeglut's loop returns when the window is closed, rather than calling exit(0), so main can
  // return the console's status.
  glutSetOption(GLUT_ACTION_ON_WINDOW_CLOSE, GLUT_ACTION_GLUTMAINLOOP_RETURNS);
  MatchMonitorScale(SceneWindow());
}

void AttachMainMenu() {
  mainMenu = BuildMainMenu();
  SceneWindow();
}
