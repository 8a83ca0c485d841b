// The platform in memory, one object for the four interfaces: files and folders by path,
// the shell's special folders, the programs started, a clock that pauses advance, and
// windows that a test clicks and closes. Each event pump adds a row to the timeline: the
// status label's text (empty while hidden), the bar's position (-1 without a bar) and the
// pauses until the next pump.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <map>
#include <set>

#include "Attese.h"
#include "forms/Form.h"
#include "platform/Wildcard.h"

namespace platform {

struct Fake : Files, Shell, Processes, Windows {
  Fake() { Install(&all); }
  ~Fake() override { Install(nullptr); }

  // Each path, absolute and in small letters, is a file 'f', a folder 'd' or a folder 'l'
  // that is a link to another place. A relative path lies in the current folder `cwd`.
  std::map<std::string, char> fs{{"c:", 'd'}};
  std::string cwd = "C:\\pacchetto";
  std::string key(std::string p) const {
    if (p.starts_with('\\')) p.insert(0, "C:");
    if (!p.empty() && p.find(':') == std::string::npos) p = cwd + "\\" + p;
    while (p.ends_with('\\')) p.pop_back();
    for (char& c : p) c = Folded(c);
    return p;
  }
  static std::string up(const std::string& k) { return k.substr(0, k.rfind('\\')); }
  char kind(const std::string& p) const { return fs.contains(key(p)) ? fs.at(key(p)) : 0; }
  bool folder(const std::string& p) const { return kind(p) == 'd' || kind(p) == 'l'; }
  void Add(const std::string& p, char k = 'f') {  // with the folders above it
    for (auto i = p.find('\\', 3); i != std::string::npos; i = p.find('\\', i + 1))
      fs.try_emplace(key(p.substr(0, i)), 'd');
    fs[key(p)] = k;
  }
  void changed() { changes += static_cast<char>('0' + rows.size()); }

  bool MakeFolder(const std::string& p) override {
    return !kind(p) && folder(up(key(p))) && (fs[key(p)] = 'd');
  }
  bool Copy(const std::string& from, const std::string& to) override {
    return kind(from) == 'f' && folder(up(key(to))) && !folder(to) && (fs[key(to)] = 'f');
  }
  int DeleteFiles(const std::string& pattern) override {
    changed();
    const std::string k = key(pattern), in = up(k), names = k.substr(in.size() + 1);
    return static_cast<int>(std::erase_if(fs, [&](const auto& e) {
      return e.second == 'f' && up(e.first) == in && Matches(e.first.substr(in.size() + 1), names);
    }));
  }
  bool RemoveFolder(const std::string& p) override {
    changed();
    auto inside = [&](const auto& e) { return up(e.first) == key(p); };
    return folder(p) && std::none_of(fs.begin(), fs.end(), inside) && fs.erase(key(p));
  }
  std::optional<std::uint32_t> Attributes(const std::string& p) override {
    if (!kind(p)) return std::nullopt;
    return folder(p) ? kAttributeFolder : kAttributeNormal;
  }
  bool IsLink(const std::string& p) override { return kind(p) == 'l'; }

  std::map<Csidl, std::string> special;  // the shell's folders; "" where it has none
  std::string system = "C:\\windows\\system32";
  bool scripting = true;           // the "WScript.Shell" object can be made
  std::set<std::string> refused;   // shortcuts whose saving fails
  std::vector<std::string> links;  // shortcuts saved
  std::vector<std::string> keys;   // registry keys deleted
  std::string SpecialFolder(Csidl csidl, bool create) override {
    const std::string p = special[csidl];
    if (create && !p.empty()) MakeFolder(p);
    return folder(p) ? p : "";
  }
  std::string SystemDirectory(unsigned) override { return system; }
  std::optional<std::string> BrowseForFolder(Handle, const std::string&, BrowseStyle) override {
    return std::nullopt;
  }
  std::optional<RegistryValue> RegRead(const std::string&) override { return std::nullopt; }
  std::optional<std::int16_t> TextToInt16(const std::string&) override { return std::nullopt; }
  bool DeleteMachineKey(const std::string& k) override {
    changed();
    keys.push_back(k);
    return true;
  }
  bool WriteShortcut(const std::string& l, const std::string&, ShowCommand,
                     const std::string&) override {
    if (!scripting || refused.contains(l) || !folder(up(key(l)))) return false;
    links.push_back(l);
    fs[key(l)] = 'f';
    return true;
  }

  std::vector<std::string> started;  // "program|command line|show", "user program|folder|show"
  std::string own = "C:\\Programmi\\QelPictura";
  unsigned clock = 0;
  bool Start(const std::string& a, const std::string& c, ShowCommand s) override {
    started.push_back(a + "|" + c + "|" + std::to_string(static_cast<int>(s)));
    return true;
  }
  bool StartAsUser(const std::string& p, const std::string& f, ShowCommand s) override {
    return Start("user " + p, f, s);
  }
  std::string OwnFolder() override { return own; }
  void Pause(unsigned ms) override {
    clock += ms;
    if (!rows.empty()) rows.back().pausa += ms;
  }

  struct Window {
    Handle parent = 0;
    WindowEvents* events = nullptr;  // forms only
    std::string text, kind;
    Rect rect;
    bool enabled = true, visible = false;
    int id = 0, position = 0, step = 1;
    std::vector<std::string> items;
  };
  std::map<Handle, Window> win;
  Handle last = 0;
  Handle status = 0;                // the label the timeline reads
  std::vector<attese::Tappa> rows;  // the timeline
  std::string enabled;              // at each pump, 1 when the status label's form is enabled
  std::string changes;              // at each deletion, how many pumps came before it
  std::function<void()> onPump;
  std::deque<std::string> answers;  // captions of the buttons that answer modal forms
  int unanswered = 0;
  Answer answer = Answer::Ok;      // what every message box answers
  std::vector<std::string> boxes;  // "title|text" of each message box

  Handle add(Handle parent, WindowEvents* e, const std::string& text, Rect r, int id = 0,
             const std::string& kind = "") {
    win[++last] = {parent, e, text, kind, r, true, false, id, 0, 1, {}};
    return last;
  }
  Handle find(const std::string& text) {
    for (auto& [h, x] : win)
      if (x.visible && x.text == text) return h;
    return 0;
  }
  // Pressed as the user would: only on an enabled, shown control of an enabled, shown form.
  void Click(Handle c) {
    Window &x = win[c], &f = win[x.parent];
    if (f.events && f.enabled && f.visible && x.enabled && x.visible) f.events->OnCommand(x.id);
  }
  void Close(Handle form, UnloadMode why) { win[form].events->OnCloseRequest(why); }
  void EndSession() {
    std::vector<WindowEvents*> open;
    for (auto& [h, x] : win)
      if (x.events) open.push_back(x.events);
    if (std::all_of(open.begin(), open.end(), [](auto e) { return e->OnQueryEndSession(); }))
      for (auto e : open) e->OnEndSession();
  }

  void InitCommonControls() override {}
  int Dpi() override { return 96; }
  Rect WorkArea() override { return {0, 0, 1024, 768}; }
  Handle CreateForm(WindowEvents* e, const std::string& t, int w, int h, int, Handle) override {
    return add(0, e, t, {0, 0, w, h});
  }
  Handle CreateControl(Handle f, int id, const ControlLook&, const std::string& t, const Rect& r,
                       int) override {
    return add(f, nullptr, t, r, id);
  }
  void Destroy(Handle h) override {
    std::erase_if(win, [h](const auto& e) { return e.first == h || e.second.parent == h; });
  }
  void SetText(Handle h, const std::string& t) override { win[h].text = t; }
  void SetEnabled(Handle h, bool e) override { win[h].enabled = e; }
  bool Enabled(Handle h) override { return win[h].enabled; }
  void SetVisible(Handle h, bool v) override { win[h].visible = v; }
  void SetCentred(Handle, bool) override {}
  void SetRect(Handle h, const Rect& r) override { win[h].rect = r; }
  void SetLayout(Handle h, const Rect& r, int) override { win[h].rect = r; }
  Rect GetRect(Handle h) override { return win[h].rect; }
  int TextWidth(Handle, const std::string&) override { return 0; }
  int Check(Handle) override { return 0; }
  void SetCheck(Handle, int) override {}
  void AddItem(Handle h, const std::string& t) override { win[h].items.push_back(t); }
  void Focus(Handle) override {}
  Handle ActiveWindow() override { return 0; }
  void Pump() override {
    int bar = -1;
    for (auto& [h, x] : win)
      if (x.kind == "msctls_progress32") bar = x.position;
    const Window& s = win[status];
    rows.push_back({s.visible ? s.text : "", bar, 0});
    enabled += win[s.parent].enabled ? '1' : '0';
    if (onPump) onPump();
  }
  void RunUntil(const std::function<bool()>& done) override {
    for (; !done() && !answers.empty(); answers.pop_front()) Click(find(answers.front()));
    unanswered += !done();
  }
  Handle CreateChild(unsigned, const std::string& kind, const std::string&, ChildStyle,
                     const Rect& r, Handle parent, int, std::intptr_t, const void*) override {
    return add(parent, nullptr, "", r, 0, kind);
  }
  std::intptr_t Send(Handle h, ProgressMessage m, std::uintptr_t n, std::intptr_t) override {
    if (m == ProgressMessage::SetStep) win[h].step = static_cast<int>(n);
    if (m == ProgressMessage::StepIt) win[h].position += win[h].step;
    return 0;
  }
  void DestroyChild(Handle h) override { Destroy(h); }
  Answer ShowMessageBox(Handle, const std::string& text, const std::string& title,
                        MessageBoxStyle) override {
    boxes.push_back(title + "|" + text);
    return answer;
  }

  Platform all{*this, *this, *this, *this};
};

// What every unit test stands on: a fresh fake, every form gone at the end, and no modal
// form left without an answer.
struct Prova : ::testing::Test {
  ~Prova() override {
    forms::ResetAll();
    EXPECT_EQ(0, fake.unanswered);
  }
  // Closes a form as `why` says: its own code, the end of the session, or a request to
  // its window (the title bar's close box, the task manager).
  void close(forms::Form& f, UnloadMode why) {
    if (why == UnloadMode::Code) return f.Unload();
    if (why == UnloadMode::AppWindows) return fake.EndSession();
    fake.Close(f.hWnd(), why);
  }
  Fake fake;
};

}  // namespace platform
