// A platform in memory, for tests: a file system with Windows rules, special folders
// that may be missing, a registry value, a record of started programs, a clock that
// pauses advance without waiting, and windows on which a test clicks buttons, closes
// forms from the title bar, ends the session and answers modal dialogs.
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/Platform.h"

namespace platform::fake {

// ---------------------------------------------------------------- files

class FakeFiles : public Files {
 public:
  struct Entry {
    bool folder = false;
    std::uint32_t attributes = 0;  // besides the folder bit
    std::string content;
    bool inUse = false;  // held open without sharing: cannot be replaced or deleted
    bool link = false;   // a folder that is a junction or a symbolic link
  };

  FakeFiles();
  bool MakeFolder(const std::string& path) override;
  bool Copy(const std::string& from, const std::string& to) override;
  int DeleteFiles(const std::string& pattern) override;
  bool RemoveFolder(const std::string& path) override;
  std::optional<std::uint32_t> Attributes(const std::string& path) override;
  bool IsLink(const std::string& folder) override;

  // Laying out and reading back; parents are made as needed.
  void AddFolder(const std::string& path);
  void AddFile(const std::string& path, const std::string& content = "",
               std::uint32_t attributes = 0);
  void SetInUse(const std::string& path, bool inUse = true);
  // A folder laid out as a link to elsewhere: what lies in it stands for the other
  // place's files.
  void SetLink(const std::string& folder);
  bool IsFile(const std::string& path) const;
  bool IsFolder(const std::string& path) const;
  std::string Content(const std::string& path) const;
  std::vector<std::string> List(const std::string& folder) const;  // names directly inside
  std::string currentDirectory = "C:\\pacchetto";
  int operations = 0;  // calls of the Files interface

 private:
  std::string key(const std::string& path) const;  // absolute, folded, no final "\"
  static std::string parentOf(const std::string& key);
  std::map<std::string, Entry> entries_;
  std::map<std::string, std::string> names_;  // key -> name as written

 public:
  // Attribute bits besides the folder bit (hidden 2, system 4, read-only 1) of a file or
  // folder already laid out.
  void SetAttributes(const std::string& path, std::uint32_t attributes);
};

// ---------------------------------------------------------------- shell

class FakeShell : public Shell {
 public:
  FakeShell(FakeFiles& files, std::vector<std::string>& log) : files_(files), log_(log) {}
  std::string SpecialFolder(Csidl csidl, bool create) override;
  std::string SystemDirectory(unsigned bufferSize) override;
  std::optional<std::string> BrowseForFolder(Handle owner, const std::string& title,
                                             BrowseStyle flags) override;
  std::optional<RegistryValue> RegRead(const std::string& valuePath) override;
  std::optional<std::int16_t> TextToInt16(const std::string& text) override;
  bool DeleteMachineKey(const std::string& subkey) override;
  bool WriteShortcut(const std::string& link, const std::string& target, ShowCommand windowStyle,
                     const std::string& description) override;

  // csidl -> the folder the shell knows; a folder missing from the file system is made
  // when asked with `create`. Identifiers not listed give nothing.
  std::map<Csidl, std::string> specialFolders;
  std::string systemDirectory = "C:\\windows\\system32";

  struct Browse {
    Handle owner;
    std::string title;
    BrowseStyle flags;
  };
  std::vector<Browse> browses;
  std::deque<std::optional<std::string>> browseAnswers;  // nothing = cancelled

  // COM is initialised on the first operation that needs it ("com" in the timeline), and
  // each scripting object is made after it ("object <ProgID>").
  bool comInitialised = false;
  bool scriptingObject = true;                         // "WScript.Shell" can be created
  std::set<std::string> machineKeys;                   // keys under HKEY_LOCAL_MACHINE, as written
  std::map<std::string, RegistryValue> machineValues;  // "HKLM\key\value" -> data
  std::vector<std::string> deletedKeys;
  std::map<std::string, std::int16_t> textNumbers;  // texts Windows reads as a number

  struct Shortcut {
    std::string target;
    ShowCommand windowStyle;
    std::string description;
  };
  std::map<std::string, Shortcut> shortcuts;  // by link path as written
  std::set<std::string> refusedLinks;         // Save fails for these

 private:
  void initialiseCom();
  bool makeObject(const char* progId);
  FakeFiles& files_;
  std::vector<std::string>& log_;
};

// ---------------------------------------------------------------- processes

class FakeProcesses : public Processes {
 public:
  explicit FakeProcesses(std::vector<std::string>& log) : log_(log) {}
  bool Start(const std::string& application, const std::string& commandLine,
             ShowCommand showCommand) override;
  bool StartAsUser(const std::string& program, const std::string& folder,
                   ShowCommand showCommand) override;
  std::string OwnFolder() override { return ownFolder; }
  void Pause(unsigned milliseconds) override;

  struct Started {
    std::string application, commandLine;
    ShowCommand showCommand;
    std::string folder;  // the working folder of a program started for the user
  };
  std::vector<Started> started;
  std::string ownFolder = "C:\\Programmi\\QelPictura";
  unsigned long long clock = 0;  // milliseconds of pauses so far

 private:
  std::vector<std::string>& log_;
};

// ---------------------------------------------------------------- windows

class FakeWindows : public Windows {
 public:
  explicit FakeWindows(std::vector<std::string>& log) : log_(log) {}
  void InitCommonControls() override { ++commonControlsInitialised; }
  int Dpi() override { return dpi; }
  Rect WorkArea() override { return workArea; }
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
  void SetCheck(Handle checkBox, int value) override;
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
  void DestroyChild(Handle window) override { Destroy(window); }
  Answer ShowMessageBox(Handle owner, const std::string& text, const std::string& title,
                        MessageBoxStyle flags) override;

  struct Window {
    Handle parent = 0;
    Handle owner = 0;                // forms only
    WindowEvents* events = nullptr;  // forms only
    std::string className;           // children made by CreateChild
    ControlLook look;
    std::string text;
    Rect rect;
    bool enabled = true, visible = false, centred = false;
    int id = 0, check = 0, fontHeight = 0, icon = 0;
    std::vector<std::string> items;
    int position = 0, step = 10;  // progress bars
    ChildStyle style{};
    std::intptr_t instance = 0;
    std::int32_t createData = 0;
  };

  // What a test sees and does.
  Window* Get(Handle window);
  std::vector<Handle> Forms() const;                        // live forms, oldest first
  Handle FindForm(const std::string& caption) const;        // the newest live one
  Handle Find(Handle form, const std::string& text) const;  // a child by its text
  std::vector<Handle> Children(Handle form) const;          // in creation order
  bool Click(Handle form, const std::string& text);         // false when it cannot be pressed
  void CloseFromTitleBar(Handle form);
  void CloseFromTaskManager(Handle form);
  void EndSession();
  Handle Focused() const { return focus_; }
  bool IsWindow(Handle window) const { return windows_.count(window) != 0; }

  // Modal dialogs and message boxes are answered by what the test queued.
  std::deque<std::function<void()>> modalAnswers;
  std::deque<Answer> messageBoxAnswers;
  struct Box {
    Handle owner;
    std::string text, title;
    MessageBoxStyle flags;
  };
  std::vector<Box> messageBoxes;
  std::vector<std::string> problems;                           // unexpected dialogs and the like
  std::function<bool(const std::string& caption)> refuseForm;  // CreateForm fails
  bool refuseChildren = false;                                 // CreateChild fails

  int dpi = 96;
  Rect workArea{0, 0, 1024, 768};
  int commonControlsInitialised = 0;
  int pumps = 0;
  static constexpr int kFrameWidth = 6, kFrameHeight = 25;  // outer minus client pixels

 private:
  Handle add(Window w);
  std::map<Handle, Window> windows_;
  std::vector<Handle> order_;
  Handle next_ = 0x100;
  Handle focus_ = 0;
  Handle active_ = 0;
  std::vector<std::string>& log_;

 public:
  // Runs at every Pump, so that a test can look at the windows while a handler runs.
  std::function<void()> onPump;
  // Every message sent with Send, to whatever handle, 0 included.
  struct Message {
    Handle window;
    ProgressMessage message;
    std::uintptr_t wParam;
  };
  std::vector<Message> sent;
};

// ---------------------------------------------------------------- the whole

// Installs itself as the platform when made and stays installed while it lives.
class FakePlatform {
 public:
  FakePlatform();
  ~FakePlatform();

  // One timeline: "pump", "pause N", "text H <text>" for every caption change,
  // "step H" for each progress step, "start <application>|<command line>|<show>", "com"
  // and "object <ProgID>".
  std::vector<std::string> log;
  FakeFiles files;
  FakeShell shell{files, log};
  FakeProcesses processes{log};
  FakeWindows windows{log};

 private:
  Platform platform_{files, shell, processes, windows};
};

}  // namespace platform::fake
