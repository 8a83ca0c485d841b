// The platform in memory, one object for the interfaces and the unit tests' fixture: a disk
// and registry of paths, the shell's folders, programs started, windows a test clicks. Each
// event pump adds a row to the timeline, which pauses complete; at the second, 192 DPI. What a
// run leaves is compared with its approved record (Approva).
#pragma once
#include <gtest/gtest.h>
#include <algorithm>
#include <fstream>
#include <map>
#include <sstream>
#include "Impronta.h"
#include "forms/Form.h"
#include "platform/Wildcard.h"

namespace platform {

using Str = const std::string&;

// The machine: the package in the current folder; Program Files, as the shell knows it, in
// C:\Applicazioni; all users' desktop and programs in C:\Tutti, the user's own unknown.
struct Fake : ::testing::Test, Files, Shell, Processes, Windows, Installation, Removal {
  Fake() {
    Install(&all);
    for (Str f : {sys, kTutti, cwd + "\\"}) Add(f);
    for (const char* f : impronta::kFileSistema) Add(f);
    for (const char* f : {"QelPictura.exe", "help.htm", "happysmile.qelpictura", "Uninstall.exe",
                          "C:\\Applicazioni\\", "C:\\Program Files\\"})
      Add(f);
  }
  ~Fake() override { forms::ResetAll(), Install(nullptr); }  // nothing left installed
  // By path in small letters: a folder ("\"), a file (the package file it came from; a shortcut:
  // target|show|description), a key of HKEY_LOCAL_MACHINE as "hklm:\...".
  std::map<std::string, std::string> fs{{"c:", "\\"}};
  std::string cwd = "C:\\pacchetto", own = "C:\\Programmi\\QelPictura", kTutti = "C:\\Tutti\\";
  std::map<Csidl, std::string> special = {{Csidl::ProgramFiles, "C:\\Applicazioni"},
                                          {Csidl::CommonDesktopDirectory, kTutti},
                                          {Csidl::CommonPrograms, kTutti}};  // "": none
  std::string sys = "C:\\windows\\system32\\", lost;  // lost: a shortcut saved, says the shell
  std::optional<std::string> browsed;                 // the folder browser's answer
  std::vector<Csidl> made;  // the special folders asked to be made when missing
  bool full = false;        // no window can be made
  // Programs started ("program|command line|show", "user program|folder|show"), message boxes.
  std::vector<std::string> started, boxes, items;  // and the list box's lines
  struct Window {
    Handle parent = 0;
    WindowEvents* events = nullptr;  // forms only
    std::string text = "";
    int id = 0, position = 0;
    bool enabled = true, visible = false;
  };
  std::map<Handle, Window> win;
  std::map<Handle, Rect> rects;          // each window's place, as last set
  Handle last = 0, bar = 0, status = 0;  // the newest window, progress bar, status
  // At each pump: the status text shown, the bar, the pause that follows, the status label's
  // form enabled, how many paths and keys are there.
  struct Row {
    std::string text;
    int bar;
    unsigned pause;
    bool enabled;
    std::size_t left;
  };
  std::vector<Row> rows;
  WindowEvents* closing = nullptr;  // its close box is clicked at the next pump
  static constexpr Rect kAltrove{-301, -201, 1044, 770};  // on a display left of and above

  std::string key(std::string p) const {
    if (p.starts_with('\\')) p.insert(0, "C:");
    if (!p.empty() && p.find(':') == std::string::npos) p = cwd + "\\" + p;
    while (p.ends_with('\\')) p.pop_back();
    for (char& c : p) c = Folded(c);
    return p;
  }
  static std::string up(Str k) { return k.substr(0, k.rfind('\\')); }
  static std::string name(Str k) { return k.substr(k.rfind('\\') + 1); }
  const std::string* at(Str p) const { return fs.contains(key(p)) ? &fs.at(key(p)) : nullptr; }
  bool folder(Str p) const { return at(p) && *at(p) == "\\"; }
  bool put(Str p, Str what) { return folder(up(key(p))) && !folder(p) && (fs[key(p)] = what, 1); }
  void Add(Str p) { fs[key(p)] = p.ends_with('\\') ? "\\" : name(p); }  // a folder ends in "\"
  Handle add(const Window& w) { return full ? 0 : (win[++last] = w, last); }
  void Click(forms::Control& c) { win[win[c.hWnd()].parent].events->OnCommand(win[c.hWnd()].id); }
  // Shows the form and presses `button`, the timeline reading `label`.
  void Run(forms::Form& form, forms::Control& label, forms::Control& button) {
    status = label.hWnd(), form.Show(), Click(button);
  }
  void close(forms::Form& f, UnloadMode why) {  // at the end of the session, or from `why`
    WindowEvents& e = f;
    if (why != UnloadMode::AppWindows) return e.OnCloseRequest(why);
    if (e.OnQueryEndSession()) e.OnEndSession();
  }

  bool MakeFolder(Str p) override { return !at(p) && put(p, "\\"); }
  bool Copy(Str from, Str to) override { return at(from) && !folder(from) && put(to, *at(from)); }
  bool InUse(Str) override { return false; }
  int DeleteFiles(Str p) override {  // files only
    auto match = [&](auto& e) { return up(e.first) == up(key(p)) && e.second != "\\"; };
    return std::erase_if(fs,
                         [&](auto& e) { return match(e) && Matches(name(e.first), name(key(p))); });
  }
  bool RemoveFolder(Str p) override {  // an empty one only
    return folder(p) && std::ranges::none_of(fs, [&](auto& e) { return up(e.first) == key(p); }) &&
           fs.erase(key(p));
  }
  std::optional<std::uint32_t> Attributes(Str p) override {
    return at(p) ? std::optional(folder(p) ? kAttributeFolder : kAttributeNormal) : std::nullopt;
  }
  bool IsLink(Str) override { return false; }
  std::string SpecialFolder(Csidl c, bool m) override {
    return (m ? made.push_back(c) : void()), special[c];
  }
  std::string SystemDirectory(unsigned) override { return sys; }
  std::optional<std::string> BrowseForFolder(Handle, Str, BrowseStyle) override { return browsed; }
  std::optional<RegistryValue> RegRead(Str) override { return {}; }
  std::optional<std::int16_t> TextToInt16(Str) override { return {}; }
  bool DeleteMachineKey(Str k) override {  // with its subkeys
    return std::erase_if(
        fs, [&](auto& e) { return (e.first + "\\").starts_with(key("HKLM:\\" + k) + "\\"); });
  }
  bool WriteShortcut(Str l, Str t, ShowCommand s, Str d) override {  // never over a folder
    return l == lost || put(l, t + "|" + char('0' + int(s)) + "|" + d);
  }
  bool Start(Str a, Str c, ShowCommand s) override {
    return started.push_back(a + "|" + c + "|" + char('0' + int(s))), true;
  }
  bool StartAsUser(Str p, Str f, ShowCommand s) override { return Start("user " + p, f, s); }
  std::string OwnFolder() override { return own; }
  // A pause before the first pump has no row to go to: the test fails.
  void Pause(unsigned ms) override { rows.at(rows.size() - 1).pause += ms; }
  void InitCommonControls() override {}
  int Dpi() override { return 96; }
  Rect WorkArea() override { return {0, 0, 1024, 768}; }
  Handle CreateForm(WindowEvents* e, Str, int, int, int, Handle) override { return add({0, e}); }
  Handle CreateControl(Handle f, int id, const ControlLook&, Str t, const Rect&, int) override {
    return add({f, nullptr, t, id});
  }
  void Destroy(Handle h) override { win.erase(h); }
  void SetText(Handle h, Str t) override { win[h].text = t; }
  void SetEnabled(Handle h, bool e) override { win[h].enabled = e; }
  bool Enabled(Handle h) override { return win[h].enabled; }
  void SetVisible(Handle h, bool v) override { win[h].visible = v; }
  void SetCentred(Handle, bool) override {}
  void SetRect(Handle h, const Rect& r) override { rects[h] = r; }
  void SetLayout(Handle h, const Rect& r, int) override { rects[h] = r; }
  Rect GetRect(Handle h) override { return rects[h]; }
  int TextWidth(Handle, Str) override { return 0; }
  int Check(Handle) override { return 0; }
  void AddItem(Handle, Str t) override { items.push_back(t); }
  void Focus(Handle) override {}
  Handle ActiveWindow() override { return 0; }
  void Pump() override {
    if (closing) std::exchange(closing, nullptr)->OnCloseRequest(UnloadMode::ControlMenu);
    if (!status) return;
    Window &s = win[status], &form = win[s.parent];
    rows.push_back({s.visible ? s.text : "", win.contains(bar) ? win[bar].position : -1, 0,
                    form.enabled, fs.size()});
    if (rows.size() == 2) form.events->OnDpiChanged(192, kAltrove);
  }
  void RunUntil(const std::function<bool()>&) override {}  // a modal form, left unanswered
  Handle CreateChild(unsigned, Str, Str, ChildStyle, const Rect&, Handle, int, std::intptr_t,
                     const void*) override {
    return bar = add({});
  }
  std::intptr_t Send(Handle h, ProgressMessage m, std::uintptr_t n, std::intptr_t) override {
    return win[h].position += m == ProgressMessage::DeltaPos ? n : m == ProgressMessage::StepIt;
  }
  void DestroyChild(Handle h) override { Destroy(h); }
  Answer ShowMessageBox(Handle, Str t, Str, MessageBoxStyle) override {
    return boxes.push_back(t), Answer::Ok;
  }
  Platform all{*this, *this, *this, *this, this, this};

  static std::string Place(const Rect& r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + " " + std::to_string(r.width) +
           "x" + std::to_string(r.height);
  }
  // What a run left, against tests/approved/unit/<name>.txt: the timeline, every path and key
  // with its content, what was started, asked, listed and made, then the test's own `more`. A
  // difference writes <name>.new.txt beside it, which tools/approve.sh takes.
  void Approva(Str name, Str more) const {
    auto quoted = [](std::string t) {  // line breaks shown
      for (std::size_t at; (at = t.find("\r\n")) != std::string::npos;) t.replace(at, 2, "\\r\\n");
      return '"' + t + '"';
    };
    std::ostringstream o, approved;
    for (const Row& r : rows)
      o << "pump: " << (r.enabled ? "enabled" : "disabled") << ", bar " << r.bar << ", " << r.left
        << " paths and keys, then " << r.pause << " ms: " << quoted(r.text) << "\n";
    for (const auto& [path, what] : fs) o << path << (what == "\\" ? "\\" : " = " + what) << "\n";
    for (const auto& [kind, all] :
         {std::pair{"started", started}, {"box", boxes}, {"listed", items}})
      for (Str line : all) o << kind << ": " << quoted(line) << "\n";
    for (Csidl c : made) o << "made: special folder " << static_cast<int>(c) << "\n";
    const std::string base = QEL_APPROVED "/unit/" + name, seen = o.str() + more;
    approved << std::ifstream(base + ".txt").rdbuf();
    if (approved.str() != seen)
      std::ofstream(base + ".new.txt") << seen, ADD_FAILURE() << "differs: " << base << ".new.txt";
  }
};

}  // namespace platform
