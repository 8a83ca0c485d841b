#include "forms/Form.h"

#include <algorithm>
#include <map>
#include <memory>

namespace forms {

namespace {

constexpr int kFirstId = 100;  // 1 and 2 are IDOK and IDCANCEL to the dialog manager

std::map<const void*, Form*>& slots() {
  static std::map<const void*, Form*> all;
  return all;
}

std::vector<Form*>& created() {
  static std::vector<Form*> order;
  return order;
}

// Tahoma 8.25 pt at the display's DPI, as a character height in pixels.
int fontHeight() { return -(825 * platform::windows().Dpi() + 3600) / 7200; }

}  // namespace

// ---------------------------------------------------------------- Control

Control::Control(Form& form, platform::ControlKind kind, Twips where, std::string caption)
    : form_(form) {
  look_.kind = kind;
  look_.tabStop = kind == Button || kind == TextBox || kind == CheckBox || kind == ListBox;
  design_.caption = std::move(caption);
  design_.rect = where;
  now_ = design_;
  form.controls_.push_back(this);
}

Control& Control::bold() { return look_.bold = true, *this; }
Control& Control::onBand() { return look_.band = true, *this; }
Control& Control::centred() {
  design_.centred = now_.centred = true;
  return *this;
}
Control& Control::wraps() { return look_.wraps = true, *this; }
Control& Control::autoSize() { return autoSize_ = true, *this; }
Control& Control::multiLine() { return look_.multiLine = true, *this; }
Control& Control::bothScrollBars() { return look_.scrollBars = true, *this; }
Control& Control::readOnly() { return look_.readOnly = true, *this; }
Control& Control::disabled() {
  design_.enabled = now_.enabled = false;
  return *this;
}
Control& Control::hidden() {
  design_.visible = now_.visible = false;
  return *this;
}
Control& Control::picture(int iconId) { return look_.picture = iconId, *this; }
Control& Control::colour(int sysColour) { return look_.sysColour = sysColour, *this; }
Control& Control::onClick(std::function<void()> handler) {
  click_ = std::move(handler);
  return *this;
}

platform::Rect Control::pixels() const {
  const Twips& r = now_.rect;
  if (look_.kind == Line) {  // one pixel thick, whatever the DPI
    int x = Form::Px(r.left), y = Form::Px(r.top);
    return {x, y, r.width ? Form::Px(r.left + r.width) - x + 1 : 1,
            r.height ? Form::Px(r.top + r.height) - y + 1 : 1};
  }
  return {Form::Px(r.left), Form::Px(r.top), Form::Px(r.left + r.width) - Form::Px(r.left),
          Form::Px(r.top + r.height) - Form::Px(r.top)};
}

bool Control::focusable() const { return look_.tabStop && now_.enabled && now_.visible; }

void Control::create(int id) {
  auto& w = platform::windows();
  platform::ControlLook look = look_;
  look.centred = now_.centred;
  handle_ = w.CreateControl(form_.handle_, id, look, now_.caption, pixels(), fontHeight());
  if (fitsText()) fitText();
  if (!now_.enabled) w.SetEnabled(handle_, false);
  if (now_.value) w.SetCheck(handle_, now_.value);
  for (const auto& item : now_.items) w.AddItem(handle_, item);
  if (now_.visible) w.SetVisible(handle_, true);
}

std::string Control::Caption() {
  form_.ensureLoaded();
  return now_.caption;
}

void Control::Caption(const std::string& text) {
  form_.ensureLoaded();
  now_.caption = text;
  auto& w = platform::windows();
  w.SetText(handle_, text);
  if (fitsText()) fitText();
}

// A label sized to its text is as wide as its text needs, and never narrower than
// designed; so is a check box, whose caption would otherwise be cut where the font is
// wider than the design's.
bool Control::fitsText() const { return autoSize_ || look_.kind == CheckBox; }

void Control::fitText() {
  auto& w = platform::windows();
  now_.rect.width = std::max(design_.rect.width, Form::FromPx(w.TextWidth(handle_, now_.caption)));
  w.SetRect(handle_, pixels());
}

bool Control::Enabled() {
  form_.ensureLoaded();
  return now_.enabled;
}

void Control::Enabled(bool enabled) {
  form_.ensureLoaded();
  now_.enabled = enabled;
  platform::windows().SetEnabled(handle_, enabled);
}

bool Control::Visible() {
  form_.ensureLoaded();
  return now_.visible;
}

void Control::Visible(bool visible) {
  form_.ensureLoaded();
  bool hadFocusRoom = focusable();
  now_.visible = visible;
  platform::windows().SetVisible(handle_, visible);
  // A hidden button would keep the keyboard focus, and Enter and the keys would go
  // nowhere: the focus moves on to the first control that can take it.
  if (hadFocusRoom && !visible) form_.focusFirst();
}

int Control::Value() {
  form_.ensureLoaded();
  return now_.value = platform::windows().Check(handle_);
}

void Control::Value(int value) {
  form_.ensureLoaded();
  now_.value = value;
  platform::windows().SetCheck(handle_, value);
}

void Control::Alignment(bool centred) {
  form_.ensureLoaded();
  now_.centred = centred;
  platform::windows().SetCentred(handle_, centred);
}

void Control::AddItem(const std::string& text) {
  form_.ensureLoaded();
  now_.items.push_back(text);
  platform::windows().AddItem(handle_, text);
}

int Control::ListCount() {
  form_.ensureLoaded();
  return static_cast<int>(now_.items.size());
}

std::string Control::List(int index) {
  form_.ensureLoaded();
  return index >= 0 && index < ListCount() ? now_.items[index] : std::string();
}

Twips Control::Rect() {
  form_.ensureLoaded();
  return now_.rect;
}

platform::Handle Control::hWnd() {
  form_.ensureLoaded();
  return handle_;
}

// ---------------------------------------------------------------- Form

Form::Form(std::string caption, int clientWidth, int clientHeight, int iconId, StartUp startUp)
    : caption_(std::move(caption)),
      clientWidth_(clientWidth),
      clientHeight_(clientHeight),
      iconId_(iconId),
      startUp_(startUp) {
  created().push_back(this);
}

Form::~Form() {
  if (handle_) platform::windows().Destroy(handle_);
  auto& order = created();
  order.erase(std::remove(order.begin(), order.end(), this), order.end());
}

int Form::Px(int twips) { return (twips * platform::windows().Dpi() + 720) / 1440; }
int Form::FromPx(int pixels) {
  int dpi = platform::windows().Dpi();
  return (pixels * 1440 + dpi / 2) / dpi;
}

void Form::ensureLoaded() {
  if (state_ == State::Unloaded) Load();
}

void Form::Load() {
  if (state_ != State::Unloaded) return;
  auto& w = platform::windows();
  // A form centred on its owner belongs to the window that is active as it opens: it
  // stays above that window and has no taskbar button of its own.
  owner_ = startUp_ == StartUp::CentreOwner ? w.ActiveWindow() : 0;
  handle_ = w.CreateForm(this, caption_, Px(clientWidth_), Px(clientHeight_), iconId_, owner_);
  if (!handle_) return;  // the window cannot be made: the form stays unloaded
  state_ = State::Loaded;

  // Focusable controls first, in their tab order, then the others as designed, with the
  // band underneath everything that stands on it.
  auto isBand = [](Control* c) {
    return c->look_.kind == Label && c->look_.band && c->design_.caption.empty();
  };
  std::vector<Control*> zOrder = tabOrder_;
  for (bool bands : {false, true})
    for (Control* c : controls_)
      if (isBand(c) == bands && std::find(zOrder.begin(), zOrder.end(), c) == zOrder.end())
        zOrder.push_back(c);
  for (Control* c : zOrder) {
    c->now_ = c->design_;
    auto index = std::find(controls_.begin(), controls_.end(), c) - controls_.begin();
    c->create(kFirstId + static_cast<int>(index));
  }

  platform::Rect frame = w.GetRect(handle_);
  platform::Rect centre = w.WorkArea();
  if (owner_) centre = w.GetRect(owner_);
  if (startUp_ != StartUp::Manual) {
    frame.left = centre.left + (centre.width - frame.width) / 2;
    frame.top = centre.top + (centre.height - frame.height) / 2;
    w.SetRect(handle_, frame);
  }
  Form_Load();
}

void Form::focusFirst() {
  for (Control* c : tabOrder_)
    if (c->focusable()) {
      platform::windows().Focus(c->handle_);
      return;
    }
}

void Form::Show() {
  ensureLoaded();
  platform::windows().SetVisible(handle_, true);
  focusFirst();
}

void Form::ShowModal() {
  ensureLoaded();
  if (!Loaded()) return;
  auto& w = platform::windows();
  for (Form* f : created())
    if (f != this && f->Loaded() && w.Enabled(f->handle_)) {
      w.SetEnabled(f->handle_, false);
      disabledWhileModal_.push_back(f);
    }
  Show();
  w.RunUntil([this] { return !Loaded(); });
  enableOthers();
}

// The windows a modal form disabled come back before it goes, so that the one that was
// active becomes active again and takes the keyboard.
void Form::enableOthers() {
  for (Form* f : disabledWhileModal_)
    if (f->Loaded()) platform::windows().SetEnabled(f->handle_, true);
  disabledWhileModal_.clear();
}

void Form::unload(int mode, bool ask) {
  if (state_ == State::Unloaded || unloading_) return;
  unloading_ = true;
  int cancel = 0;
  if (ask) Form_QueryUnload(cancel, mode);
  if (!cancel) Form_Unload(cancel);
  if (!cancel) {
    // Windows takes owned windows down with their owner: their forms go first.
    for (Form* f : created())
      if (f != this && f->Loaded() && f->owner_ == handle_) f->unload(mode, false);
    enableOthers();
    platform::windows().Destroy(handle_);
    handle_ = 0;
    for (Control* c : controls_) c->handle_ = 0;
    state_ = State::Unloaded;
  }
  unloading_ = false;
}

void Form::Move(int left, int top) {
  ensureLoaded();
  auto& w = platform::windows();
  platform::Rect r = w.GetRect(handle_);
  r.left = Px(left);
  r.top = Px(top);
  w.SetRect(handle_, r);
}

void Form::Move(int left, int top, int width, int height) {
  ensureLoaded();
  platform::windows().SetRect(handle_, {Px(left), Px(top), Px(width), Px(height)});
}

int Form::Left() { return ensureLoaded(), FromPx(platform::windows().GetRect(handle_).left); }
int Form::Top() { return ensureLoaded(), FromPx(platform::windows().GetRect(handle_).top); }
int Form::Width() { return ensureLoaded(), FromPx(platform::windows().GetRect(handle_).width); }
int Form::Height() { return ensureLoaded(), FromPx(platform::windows().GetRect(handle_).height); }

bool Form::Enabled() { return ensureLoaded(), platform::windows().Enabled(handle_); }
void Form::Enabled(bool enabled) {
  ensureLoaded();
  platform::windows().SetEnabled(handle_, enabled);
}

platform::Handle Form::hWnd() { return ensureLoaded(), handle_; }

void Form::OnCommand(int controlId) {
  std::size_t index = static_cast<std::size_t>(controlId - kFirstId);
  if (index >= controls_.size()) return;
  Control& c = *controls_[index];
  if (c.look_.kind == CheckBox) c.now_.value = platform::windows().Check(c.handle_);
  // A click that arrives while one of this form's handlers runs (inside its pumps or a
  // dialog it shows) is ignored: one handler at a time.
  if (!c.click_ || running_) return;
  running_ = true;
  c.click_();
  running_ = false;
}

// A disabled form, or one whose handler is running, is not closed from outside: the run
// finishes first. The end of the session is another matter (OnEndSession).
void Form::OnCloseRequest(int unloadMode) {
  if (running_ || !platform::windows().Enabled(handle_)) return;
  unload(unloadMode, true);
}

bool Form::OnQueryEndSession() {
  int cancel = 0;
  Form_QueryUnload(cancel, vbAppWindows);
  return cancel == 0;
}

void Form::OnEndSession() { unload(vbAppWindows, false); }

// ---------------------------------------------------------------- instances

Form*& Slot(const void* key) { return slots()[key]; }

void ResetAll() {
  for (auto& [key, form] : slots()) {
    delete form;
    form = nullptr;
  }
}

std::vector<Form*> All() { return created(); }

int LoadedCount() {
  return static_cast<int>(
      std::count_if(created().begin(), created().end(), [](Form* f) { return f->Loaded(); }));
}

void Run() {
  platform::windows().RunUntil([] { return LoadedCount() == 0; });
}

}  // namespace forms
