// The real platform: Win32 calls, wide variants at the boundary.
#pragma once

#include "platform/Platform.h"

namespace platform::win32 {

class Win32Files : public Files {
 public:
  bool InUse(const std::string& path) override;
  std::optional<std::uint32_t> Attributes(const std::string& path) override;
};

class Win32Shell : public Shell {
 public:
  std::string SpecialFolder(Csidl csidl, bool create) override;
};

class Win32Processes : public Processes {
 public:
  void Pause(unsigned milliseconds) override;
};

class Win32Installation : public Installation {
 public:
  bool MakeFolder(const std::string& path) override;
  bool Copy(const std::string& from, const std::string& to) override;
  std::string SystemDirectory(unsigned bufferSize) override;
  std::optional<std::string> BrowseForFolder(Handle owner, const std::string& title,
                                             BrowseStyle style) override;
  std::optional<RegistryValue> RegRead(const std::string& valuePath) override;
  std::optional<std::int16_t> TextToInt16(const std::string& text) override;
  bool WriteShortcut(const std::string& link, const std::string& target, ShowCommand windowStyle,
                     const std::string& description) override;
  bool Start(const std::string& application, const std::string& commandLine,
             ShowCommand show) override;
  bool StartAsUser(const std::string& program, const std::string& folder,
                   ShowCommand show) override;
};

class Win32Removal : public Removal {
 public:
  int DeleteFiles(const std::string& pattern) override;
  bool RemoveFolder(const std::string& path) override;
  bool IsLink(const std::string& folder) override;
  bool DeleteMachineKey(const std::string& subkey) override;
  std::string OwnFolder() override;
};

class Win32Windows : public Windows {
 public:
  void InitCommonControls() override;
  int Dpi() override;
  Rect WorkArea() override;
  Handle CreateForm(WindowEvents* events, const std::string& caption, int clientWidth,
                    int clientHeight, int iconId, Handle owner) override;
  Handle CreateControl(Handle form, int id, const ControlLook& look, const std::string& text,
                       const Rect& rect, int fontHeight) override;
  void Destroy(Handle window) override;
  void SetText(Handle window, const std::string& text) override;
  void SetEnabled(Handle window, bool enabled) override;
  bool Enabled(Handle window) override;
  void SetVisible(Handle window, bool visible) override;
  void SetCentred(Handle label, bool centred) override;
  void SetRect(Handle window, const Rect& rect) override;
  void SetLayout(Handle control, const Rect& rect, int fontHeight) override;
  Rect GetRect(Handle window) override;
  int TextWidth(Handle label, const std::string& text) override;
  int Check(Handle checkBox) override;
  void AddItem(Handle listBox, const std::string& text) override;
  void Focus(Handle window) override;
  Handle ActiveWindow() override;
  void Pump() override;
  void RunUntil(const std::function<bool()>& done) override;
  Handle CreateChild(unsigned exStyle, const std::string& className, const std::string& text,
                     ChildStyle style, const Rect& rect, Handle parent, int id,
                     std::intptr_t instance, const void* createData) override;
  std::intptr_t Send(Handle window, ProgressMessage message, std::uintptr_t wParam,
                     std::intptr_t lParam) override;
  void DestroyChild(Handle window) override;
  Answer ShowMessageBox(Handle owner, const std::string& text, const std::string& title,
                        MessageBoxStyle style) override;
};

// Prepares the process (the DLL search path) and installs the real platform with the
// program's own part: Setup's `installation` or Uninstall's `removal`.
void Install(Installation* installation, Removal* removal);

// Initialises COM (OLE) for the program's thread on its first call and tells whether it
// is there. Every operation that makes a COM object or opens a COM-based shell dialog
// calls it first; nothing before the first page does.
bool EnsureComInitialised();

}  // namespace platform::win32
