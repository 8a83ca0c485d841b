// The one door to Windows. Every call the programs make into the system goes
// through these interfaces. Operations never throw and never show anything:
// they return a result that the caller may test or ignore. Texts are UTF-8.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/Codes.h"

namespace platform {

using Handle = std::intptr_t;  // a window handle; 0 = none

// What is at a path: both programs ask.
class Files {
 public:
  virtual ~Files() = default;
  // True when the file is there and cannot be opened for writing because it is in use:
  // a program runs from it, or another holds it without sharing.
  virtual bool InUse(const std::string& path) = 0;
  // The path's attribute bits (kAttributeFolder...), or nothing when they cannot be read.
  virtual std::optional<std::uint32_t> Attributes(const std::string& path) = 0;
};

// What the WScript.Shell RegRead member gives back for a value.
struct RegistryValue {
  enum class Kind { Text, Number, Other };
  Kind kind = Kind::Other;
  std::string text;         // Kind::Text
  std::int32_t number = 0;  // Kind::Number
};

// The shell's special folders: both programs.
class Shell {
 public:
  virtual ~Shell() = default;
  // SHGetSpecialFolderPath into a buffer of 260 characters: the text up to its first NUL.
  virtual std::string SpecialFolder(Csidl csidl, bool create) = 0;
};

// Pauses: both programs.
class Processes {
 public:
  virtual ~Processes() = default;
  // Blocks the thread; no events are handled meanwhile.
  virtual void Pause(unsigned milliseconds) = 0;
};

// What only Setup does: folders made and files copied, the system directory, programs
// started, the folder browser, the version read and the shortcuts written through the
// scripting object.
class Installation {
 public:
  virtual ~Installation() = default;
  // Creates one folder level; false when it exists already or its parent is missing.
  virtual bool MakeFolder(const std::string& path) = 0;
  // Copies a file, replacing an existing destination. A bare name is taken from the
  // current directory. The copy is whole or nothing: written under a temporary name in
  // the destination's folder, it replaces the destination in one step once complete; a
  // copy that fails (a full disk, a held destination) leaves the destination as it was,
  // or none, and no temporary file.
  virtual bool Copy(const std::string& from, const std::string& to) = 0;
  // GetSystemDirectory with the given buffer size: the characters it reports.
  virtual std::string SystemDirectory(unsigned bufferSize) = 0;
  // The folder browser: the chosen item's file-system path (as the shell gives it, up to
  // 512 characters), or nothing when cancelled or when the item has no path.
  virtual std::optional<std::string> BrowseForFolder(Handle owner, const std::string& title,
                                                     BrowseStyle style) = 0;
  // "WScript.shell" RegRead of a full value path, or nothing when the object cannot be
  // made or the value does not exist.
  virtual std::optional<RegistryValue> RegRead(const std::string& valuePath) = 0;
  // The text as a signed 16-bit number under the user's locale (halves to even), or
  // nothing for non-numbers and values out of range.
  virtual std::optional<std::int16_t> TextToInt16(const std::string& text) = 0;
  // "WScript.Shell" CreateShortcut, TargetPath, WindowStyle, Description, Save; true when
  // every member call succeeded.
  virtual bool WriteShortcut(const std::string& link, const std::string& target,
                             ShowCommand windowStyle, const std::string& description) = 0;
  // Starts a program and returns at once; nothing is waited for. The program file is
  // `application` (never searched for); `commandLine` is what it receives.
  virtual bool Start(const std::string& application, const std::string& commandLine,
                     ShowCommand show) = 0;
  // Starts a program with the signed-in user's own rights, never this process's raised
  // ones, in the working folder `folder`, and returns at once. The file started is
  // exactly `program` (never searched for); its command line is that path in quotes.
  virtual bool StartAsUser(const std::string& program, const std::string& folder,
                           ShowCommand show) = 0;
};

// What only Uninstall does: files, folders and the registry key taken away.
class Removal {
 public:
  virtual ~Removal() = default;
  // Deletes every file (never a folder) whose name matches the last part of the pattern,
  // which may hold * and ?. Returns how many were deleted.
  virtual int DeleteFiles(const std::string& pattern) = 0;
  // Removes a folder; succeeds only when it is empty.
  virtual bool RemoveFolder(const std::string& path) = 0;
  // True when the folder is a junction or a symbolic link to another place, so that what
  // seems to lie in it belongs elsewhere.
  virtual bool IsLink(const std::string& folder) = 0;
  // Deletes a key under HKEY_LOCAL_MACHINE with its subkeys and values.
  virtual bool DeleteMachineKey(const std::string& subkey) = 0;
  // Folder of the running executable, without a final "\".
  virtual std::string OwnFolder() = 0;
};

// Pixel rectangle: of a top-level window on the screen, of a child in its parent's
// client area.
struct Rect {
  int left = 0, top = 0, width = 0, height = 0;
  bool operator==(const Rect&) const = default;
};

enum class ControlKind { Label, Button, TextBox, CheckBox, ListBox, Picture, Line };

struct ControlLook {
  ControlKind kind = ControlKind::Label;
  bool bold = false;
  bool band = false;        // background and text in the window colours, not the dialog's
  bool centred = false;     // label text alignment
  bool wraps = false;       // label breaks its text into lines inside its box
  bool multiLine = false;   // text box
  bool scrollBars = false;  // text box: both scroll bars
  bool readOnly = false;    // text box
  bool tabStop = false;
  int picture = 0;                             // picture: icon resource id
  SysColour colour = SysColour::ButtonShadow;  // line
  // What assistive technology announces for the control where its caption is not the
  // right name (a picture has none, "&?" reads as "?"); empty: the caption.
  std::string name;
};

// Events a window reports to its owner, the form runtime.
class WindowEvents {
 public:
  virtual ~WindowEvents() = default;
  virtual void OnCommand(int controlId) = 0;  // a button or check box was pressed
  // The user or the system asks the window to close: from its title bar (close box,
  // system menu, Alt+F4) or from outside the window (the task manager or another program
  // sending it WM_CLOSE). The owner unloads it or not.
  virtual void OnCloseRequest(UnloadMode why) = 0;
  virtual bool OnQueryEndSession() = 0;  // false vetoes the end of the session
  virtual void OnEndSession() = 0;       // the session ends: close without asking
  // The window now stands on a display of another DPI; `suggested` is the place and size
  // the system proposes for it there.
  virtual void OnDpiChanged(int dpi, const Rect& suggested) = 0;
};

// The windows of the pages and the child progress bar.
class Windows {
 public:
  virtual ~Windows() = default;
  virtual void InitCommonControls() = 0;
  virtual int Dpi() = 0;        // the display's, for windows yet to be made
  virtual Rect WorkArea() = 0;  // the screen's work area
  // A hidden fixed-frame top-level window with a close box, its client area in pixels.
  // An owned window (owner not 0) stays above its owner and has no taskbar button.
  virtual Handle CreateForm(WindowEvents* events, const std::string& caption, int clientWidth,
                            int clientHeight, int iconId, Handle owner) = 0;
  // A hidden control below the form's others: the controls stand, and Tab visits them, in
  // the order they were made.
  virtual Handle CreateControl(Handle form, int id, const ControlLook& look,
                               const std::string& text, const Rect& rect, int fontHeight) = 0;
  virtual void Destroy(Handle window) = 0;
  virtual void SetText(Handle window, const std::string& text) = 0;
  virtual void SetEnabled(Handle window, bool enabled) = 0;
  virtual bool Enabled(Handle window) = 0;
  virtual void SetVisible(Handle window, bool visible) = 0;
  virtual void SetCentred(Handle label, bool centred) = 0;
  virtual void SetRect(Handle window, const Rect& rect) = 0;
  // A control laid out again at another DPI: its rectangle and font; a picture takes the
  // frame of its icon made for the new size.
  virtual void SetLayout(Handle control, const Rect& rect, int fontHeight) = 0;
  virtual Rect GetRect(Handle window) = 0;
  // Pixels of one line of text in the control's font; a check box's with its box.
  virtual int TextWidth(Handle label, const std::string& text) = 0;
  virtual int Check(Handle checkBox) = 0;
  virtual void AddItem(Handle listBox, const std::string& text) = 0;
  virtual void Focus(Handle window) = 0;
  virtual Handle ActiveWindow() = 0;
  // Handles every waiting event, painting included, then returns.
  virtual void Pump() = 0;
  // Waits for and handles events until done() is true.
  virtual void RunUntil(const std::function<bool()>& done) = 0;
  // CreateWindowEx of a child window, and SendMessage / DestroyWindow on it.
  virtual Handle CreateChild(unsigned exStyle, const std::string& className,
                             const std::string& text, ChildStyle style, const Rect& rect,
                             Handle parent, int id, std::intptr_t instance,
                             const void* createData) = 0;
  virtual std::intptr_t Send(Handle window, ProgressMessage message, std::uintptr_t wParam,
                             std::intptr_t lParam) = 0;
  virtual void DestroyChild(Handle window) = 0;
  // The system message box: the button pressed.
  virtual Answer ShowMessageBox(Handle owner, const std::string& text, const std::string& title,
                                MessageBoxStyle style) = 0;
};

// The platform the programs run on; installed once at start. Each program has its own
// part, the other's is null: a program links only the operations it calls.
struct Platform {
  Files& files;
  Shell& shell;
  Processes& processes;
  Windows& windows;
  Installation* installation = nullptr;
  Removal* removal = nullptr;
};

void Install(Platform* platform);
Platform& Get();

inline Files& files() { return Get().files; }
inline Shell& shell() { return Get().shell; }
inline Processes& processes() { return Get().processes; }
inline Windows& windows() { return Get().windows; }
inline Installation& installation() { return *Get().installation; }
inline Removal& removal() { return *Get().removal; }

}  // namespace platform
