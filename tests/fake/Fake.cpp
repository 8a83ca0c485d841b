#include "fake/Fake.h"

#include <algorithm>

#include "platform/Wildcard.h"

namespace platform::fake {

namespace {

std::string folded(std::string s) {
  for (char& c : s) c = Folded(c);
  return s;
}

std::string lastPart(const std::string& path) {
  std::size_t slash = path.find_last_of('\\');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

// ---------------------------------------------------------------- files

FakeFiles::FakeFiles() {
  entries_["c:"] = {true, 0, "", false};
  names_["c:"] = "C:";
}

std::string FakeFiles::key(const std::string& path) const {
  if (path.empty() || path.find_first_of("*?\"<>|") != std::string::npos) return {};
  std::string p = path;
  std::replace(p.begin(), p.end(), '/', '\\');
  bool absolute = p.size() >= 2 && p[1] == ':';
  if (!absolute) p = currentDirectory + "\\" + p;
  std::string out;
  for (char c : p)
    if (c != '\\' || out.empty() || out.back() != '\\') out += c;
  while (out.size() > 2 && out.back() == '\\') out.pop_back();
  if (out.size() == 3 && out.back() == '\\') out.pop_back();
  if (out.find(':', 2) != std::string::npos) return {};
  return folded(out);
}

std::string FakeFiles::parentOf(const std::string& k) {
  std::size_t slash = k.find_last_of('\\');
  return slash == std::string::npos ? std::string() : k.substr(0, slash);
}

bool FakeFiles::MakeFolder(const std::string& path) {
  ++operations;
  std::string k = key(path);
  if (k.empty() || entries_.count(k)) return false;
  auto parent = entries_.find(parentOf(k));
  if (parent == entries_.end() || !parent->second.folder) return false;
  entries_[k] = {true, 0, "", false};
  names_[k] = path;
  return true;
}

bool FakeFiles::Copy(const std::string& from, const std::string& to) {
  ++operations;
  std::string source = key(from), target = key(to);
  auto s = entries_.find(source);
  if (source.empty() || target.empty() || s == entries_.end() || s->second.folder) return false;
  auto parent = entries_.find(parentOf(target));
  if (parent == entries_.end() || !parent->second.folder) return false;
  auto t = entries_.find(target);
  if (t != entries_.end() &&
      (t->second.folder || t->second.inUse || (t->second.attributes & kAttributeReadOnly)))
    return false;
  Entry copy = s->second;
  copy.inUse = false;
  entries_[target] = copy;
  names_[target] = to;
  return true;
}

int FakeFiles::DeleteFiles(const std::string& pattern) {
  ++operations;
  std::string p = pattern;
  std::replace(p.begin(), p.end(), '/', '\\');
  std::size_t slash = p.find_last_of('\\');
  // A bare pattern names files in the current directory.
  std::string folder = key(slash == std::string::npos ? currentDirectory : p.substr(0, slash + 1));
  std::string names = slash == std::string::npos ? p : p.substr(slash + 1);
  if (folder.empty() || names.empty()) return 0;
  int deleted = 0;
  for (auto it = entries_.begin(); it != entries_.end();) {
    const Entry& e = it->second;
    if (!e.folder && parentOf(it->first) == folder && Matches(lastPart(it->first), names) &&
        !e.inUse && !(e.attributes & kAttributeReadOnly)) {
      names_.erase(it->first);
      it = entries_.erase(it);
      ++deleted;
    } else {
      ++it;
    }
  }
  return deleted;
}

bool FakeFiles::RemoveFolder(const std::string& path) {
  ++operations;
  std::string k = key(path);
  auto it = entries_.find(k);
  if (k.empty() || k.size() == 2 || it == entries_.end() || !it->second.folder) return false;
  for (const auto& [other, entry] : entries_)
    if (parentOf(other) == k) return false;
  entries_.erase(it);
  names_.erase(k);
  return true;
}

std::optional<std::uint32_t> FakeFiles::Attributes(const std::string& path) {
  ++operations;
  auto it = entries_.find(key(path));
  if (key(path).empty() || it == entries_.end()) return std::nullopt;
  if (it->second.folder) return it->second.attributes | kAttributeFolder;
  return it->second.attributes ? it->second.attributes : kAttributeNormal;
}

bool FakeFiles::IsLink(const std::string& folder) {
  ++operations;
  auto it = entries_.find(key(folder));
  return it != entries_.end() && it->second.folder && it->second.link;
}

void FakeFiles::AddFolder(const std::string& path) {
  std::string k = key(path);
  if (k.empty() || entries_.count(k)) return;
  std::size_t slash = path.find_last_of('\\');
  if (slash != std::string::npos && slash > 2) AddFolder(path.substr(0, slash));
  entries_[k] = {true, 0, "", false};
  names_[k] = path;
}

void FakeFiles::AddFile(const std::string& path, const std::string& content,
                        std::uint32_t attributes) {
  std::size_t slash = path.find_last_of('\\');
  if (slash != std::string::npos && slash > 2) AddFolder(path.substr(0, slash));
  std::string k = key(path);
  entries_[k] = {false, attributes, content, false};
  names_[k] = path;
}

void FakeFiles::SetInUse(const std::string& path, bool inUse) {
  auto it = entries_.find(key(path));
  if (it != entries_.end()) it->second.inUse = inUse;
}

bool FakeFiles::IsFile(const std::string& path) const {
  auto it = entries_.find(key(path));
  return it != entries_.end() && !it->second.folder;
}

bool FakeFiles::IsFolder(const std::string& path) const {
  auto it = entries_.find(key(path));
  return it != entries_.end() && it->second.folder;
}

std::string FakeFiles::Content(const std::string& path) const {
  auto it = entries_.find(key(path));
  return it == entries_.end() ? std::string() : it->second.content;
}

std::vector<std::string> FakeFiles::List(const std::string& folder) const {
  std::vector<std::string> names;
  std::string k = key(folder);
  for (const auto& [other, entry] : entries_)
    if (parentOf(other) == k && other != k) names.push_back(lastPart(names_.at(other)));
  return names;
}

// ---------------------------------------------------------------- shell

std::string FakeShell::SpecialFolder(Csidl csidl, bool create) {
  auto it = specialFolders.find(csidl);
  if (it == specialFolders.end()) return {};
  if (!files_.IsFolder(it->second)) {
    if (!create) return {};
    files_.AddFolder(it->second);
  }
  return it->second;
}

std::string FakeShell::SystemDirectory(unsigned bufferSize) {
  return systemDirectory.size() < bufferSize ? systemDirectory : std::string();
}

void FakeShell::initialiseCom() {
  if (comInitialised) return;
  comInitialised = true;
  log_.push_back("com");
}

bool FakeShell::makeObject(const char* progId) {
  initialiseCom();
  if (!scriptingObject) return false;
  log_.push_back(std::string("object ") + progId);
  return true;
}

std::optional<std::string> FakeShell::BrowseForFolder(Handle owner, const std::string& title,
                                                      BrowseStyle flags) {
  initialiseCom();
  browses.push_back({owner, title, flags});
  if (browseAnswers.empty()) return std::nullopt;
  auto answer = browseAnswers.front();
  browseAnswers.pop_front();
  return answer;
}

std::optional<RegistryValue> FakeShell::RegRead(const std::string& valuePath) {
  if (!makeObject("WScript.shell")) return std::nullopt;
  for (const auto& [path, value] : machineValues)
    if (folded(path) == folded(valuePath)) return value;
  return std::nullopt;
}

// What Windows makes of a text as a number is its own business: the fake only knows the
// outcomes it is told.
std::optional<std::int16_t> FakeShell::TextToInt16(const std::string& text) {
  auto it = textNumbers.find(text);
  if (it == textNumbers.end()) return std::nullopt;
  return it->second;
}

bool FakeShell::DeleteMachineKey(const std::string& subkey) {
  deletedKeys.push_back(subkey);
  std::string k = folded(subkey);
  bool found = false;
  for (auto it = machineKeys.begin(); it != machineKeys.end();) {
    std::string f = folded(*it);
    if (f == k || f.rfind(k + "\\", 0) == 0) {
      found = true;
      it = machineKeys.erase(it);
    } else {
      ++it;
    }
  }
  for (auto it = machineValues.begin(); it != machineValues.end();)
    it = folded(it->first).rfind("hklm\\" + k + "\\", 0) == 0 ? machineValues.erase(it) : ++it;
  return found;
}

bool FakeShell::WriteShortcut(const std::string& link, const std::string& target,
                              ShowCommand windowStyle, const std::string& description) {
  if (!makeObject("WScript.Shell") || refusedLinks.count(link)) return false;
  // A bare name is saved in the current directory.
  std::size_t slash = link.find_last_of('\\');
  if (!files_.IsFolder(slash == std::string::npos ? files_.currentDirectory
                                                  : link.substr(0, slash)))
    return false;
  if (files_.IsFolder(link)) return false;
  files_.AddFile(link,
                 target + "|" + std::to_string(static_cast<int>(windowStyle)) + "|" + description);
  shortcuts[link] = {target, windowStyle, description};
  return true;
}

// ---------------------------------------------------------------- processes

bool FakeProcesses::Start(const std::string& application, const std::string& commandLine,
                          ShowCommand showCommand) {
  started.push_back({application, commandLine, showCommand, ""});
  log_.push_back("start " + application + "|" + commandLine + "|" +
                 std::to_string(static_cast<int>(showCommand)));
  return true;
}

bool FakeProcesses::StartAsUser(const std::string& program, const std::string& folder,
                                ShowCommand showCommand) {
  Start(program, "\"" + program + "\"", showCommand);
  started.back().folder = folder;
  return true;
}

void FakeProcesses::Pause(unsigned milliseconds) {
  clock += milliseconds;
  log_.push_back("pause " + std::to_string(milliseconds));
}

// ---------------------------------------------------------------- windows

Handle FakeWindows::add(Window w) {
  Handle h = next_ += 4;
  windows_[h] = std::move(w);
  order_.push_back(h);
  return h;
}

FakeWindows::Window* FakeWindows::Get(Handle window) {
  auto it = windows_.find(window);
  return it == windows_.end() ? nullptr : &it->second;
}

Handle FakeWindows::CreateForm(WindowEvents* events, const std::string& caption, int clientWidth,
                               int clientHeight, int iconId, Handle owner) {
  if (refuseForm && refuseForm(caption)) return 0;
  Window w;
  w.owner = owner;
  w.events = events;
  w.text = caption;
  w.icon = iconId;
  w.rect = {0, 0, clientWidth + kFrameWidth, clientHeight + kFrameHeight};
  return add(std::move(w));
}

Handle FakeWindows::CreateControl(Handle form, int id, const ControlLook& look,
                                  const std::string& text, const Rect& rect, int fontHeight) {
  if (!Get(form)) return 0;
  Window w;
  w.parent = form;
  w.id = id;
  w.look = look;
  w.centred = look.centred;
  w.text = text;
  w.rect = rect;
  w.fontHeight = fontHeight;
  return add(std::move(w));
}

void FakeWindows::Destroy(Handle window) {
  if (!Get(window)) return;
  for (Handle child : Children(window)) Destroy(child);
  windows_.erase(window);
  order_.erase(std::remove(order_.begin(), order_.end(), window), order_.end());
  if (focus_ == window) focus_ = 0;
  if (active_ == window) {
    active_ = 0;
    for (Handle f : Forms())
      if (windows_[f].visible) active_ = f;
  }
}

void FakeWindows::SetText(Handle window, const std::string& text) {
  if (Window* w = Get(window)) {
    w->text = text;
    log_.push_back("text " + std::to_string(window) + " " + text);
  }
}

void FakeWindows::SetEnabled(Handle window, bool enabled) {
  if (Window* w = Get(window)) w->enabled = enabled;
}

bool FakeWindows::Enabled(Handle window) {
  Window* w = Get(window);
  return w && w->enabled;
}

void FakeWindows::SetVisible(Handle window, bool visible) {
  Window* w = Get(window);
  if (!w) return;
  w->visible = visible;
  if (!w->parent && visible) active_ = window;
}

void FakeWindows::SetCentred(Handle label, bool centred) {
  if (Window* w = Get(label)) w->centred = centred;
}

void FakeWindows::SetRect(Handle window, const Rect& rect) {
  if (Window* w = Get(window)) w->rect = rect;
}

void FakeWindows::SetLayout(Handle control, const Rect& rect, int fontHeight) {
  if (Window* w = Get(control)) {
    w->rect = rect;
    w->fontHeight = fontHeight;
  }
}

Rect FakeWindows::GetRect(Handle window) {
  Window* w = Get(window);
  return w ? w->rect : Rect{};
}

int FakeWindows::TextWidth(Handle /*label*/, const std::string& text) {
  return static_cast<int>(text.size()) * 5 * dpi / 96;
}

int FakeWindows::Check(Handle checkBox) {
  Window* w = Get(checkBox);
  return w ? w->check : 0;
}

void FakeWindows::SetCheck(Handle checkBox, int value) {
  if (Window* w = Get(checkBox)) w->check = value;
}

void FakeWindows::AddItem(Handle listBox, const std::string& text) {
  if (Window* w = Get(listBox)) w->items.push_back(text);
}

void FakeWindows::Focus(Handle window) {
  if (Get(window)) focus_ = window;
}

Handle FakeWindows::ActiveWindow() { return active_; }

void FakeWindows::Pump() {
  ++pumps;
  log_.push_back("pump");
  if (onPump) onPump();
}

void FakeWindows::RunUntil(const std::function<bool()>& done) {
  while (!done()) {
    if (modalAnswers.empty()) {
      problems.push_back("a modal window was left unanswered");
      return;
    }
    auto answer = std::move(modalAnswers.front());
    modalAnswers.pop_front();
    answer();
  }
}

Handle FakeWindows::CreateChild(unsigned /*exStyle*/, const std::string& className,
                                const std::string& text, ChildStyle style, const Rect& rect,
                                Handle parent, int id, std::intptr_t instance,
                                const void* createData) {
  if (refuseChildren || !Get(parent)) return 0;
  Window w;
  w.parent = parent;
  w.className = className;
  w.text = text;
  w.style = style;
  w.rect = rect;
  w.id = id;
  w.visible = (static_cast<unsigned>(style) & static_cast<unsigned>(ChildStyle::Visible)) != 0;
  w.instance = instance;
  if (createData) w.createData = *static_cast<const std::int32_t*>(createData);
  return add(std::move(w));
}

std::intptr_t FakeWindows::Send(Handle window, ProgressMessage message, std::uintptr_t wParam,
                                std::intptr_t /*lParam*/) {
  sent.push_back({window, message, wParam});
  Window* w = Get(window);
  if (!w || w->className != "msctls_progress32") return 0;
  constexpr int kMin = 0, kMax = 100;
  int old = message == ProgressMessage::SetStep ? w->step : w->position;
  if (message == ProgressMessage::SetStep) w->step = static_cast<int>(wParam);
  if (message == ProgressMessage::StepIt) {
    w->position += w->step;  // past the top it starts again from the bottom
    if (w->position > kMax) w->position = (w->position - kMin) % (kMax - kMin) + kMin;
    log_.push_back("step " + std::to_string(window));
  }
  return message == ProgressMessage::GetPos ? w->position : old;
}

Answer FakeWindows::ShowMessageBox(Handle owner, const std::string& text, const std::string& title,
                                   MessageBoxStyle flags) {
  messageBoxes.push_back({owner, text, title, flags});
  if (!messageBoxAnswers.empty()) {
    Answer answer = messageBoxAnswers.front();
    messageBoxAnswers.pop_front();
    return answer;
  }
  if (flags == MessageBoxStyle::Information) return Answer::Ok;  // OK alone: no decision
  problems.push_back("a message box was left unanswered: " + text);
  return Answer::Cancel;
}

std::vector<Handle> FakeWindows::Forms() const {
  std::vector<Handle> forms;
  for (Handle h : order_)
    if (!windows_.at(h).parent) forms.push_back(h);
  return forms;
}

Handle FakeWindows::FindForm(const std::string& caption) const {
  Handle found = 0;
  for (Handle h : Forms())
    if (windows_.at(h).text == caption) found = h;
  return found;
}

std::vector<Handle> FakeWindows::Children(Handle form) const {
  std::vector<Handle> children;
  for (Handle h : order_)
    if (windows_.at(h).parent == form) children.push_back(h);
  return children;
}

Handle FakeWindows::Find(Handle form, const std::string& text) const {
  for (Handle h : Children(form))
    if (windows_.at(h).text == text) return h;
  return 0;
}

bool FakeWindows::Click(Handle form, const std::string& text) {
  Window* f = Get(form);
  Window* c = Get(Find(form, text));
  if (!f || !c || !f->enabled || !f->visible || !c->enabled || !c->visible || !f->events)
    return false;
  if (c->look.kind == ControlKind::CheckBox) c->check = c->check ? 0 : 1;
  focus_ = Find(form, text);
  f->events->OnCommand(c->id);
  return true;
}

void FakeWindows::CloseFromTitleBar(Handle form) {
  Window* f = Get(form);
  if (f && f->enabled && f->events) f->events->OnCloseRequest(UnloadMode::ControlMenu);
}

void FakeWindows::CloseFromTaskManager(Handle form) {
  Window* f = Get(form);
  if (f && f->events) f->events->OnCloseRequest(UnloadMode::TaskManager);
}

void FakeWindows::EndSession() {
  std::vector<WindowEvents*> all;
  for (Handle h : Forms()) all.push_back(windows_[h].events);
  for (WindowEvents* e : all)
    if (!e->OnQueryEndSession()) return;
  for (WindowEvents* e : all) e->OnEndSession();
}

void FakeFiles::SetLink(const std::string& folder) {
  AddFolder(folder);
  entries_[key(folder)].link = true;
}

void FakeFiles::SetAttributes(const std::string& path, std::uint32_t attributes) {
  auto it = entries_.find(key(path));
  if (it != entries_.end()) it->second.attributes = attributes;
}

// ---------------------------------------------------------------- the whole

FakePlatform::FakePlatform() { platform::Install(&platform_); }
FakePlatform::~FakePlatform() { platform::Install(nullptr); }

}  // namespace platform::fake
