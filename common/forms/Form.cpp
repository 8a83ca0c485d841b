#include "forms/Form.h"

#include <algorithm>
#include <map>

namespace forms {

namespace {

std::map<const void*, Form*>& slots() {
  static std::map<const void*, Form*> all;
  return all;
}

std::vector<Form*>& created() {
  static std::vector<Form*> order;
  return order;
}

// Tahoma 8.25 pt at a DPI, as a character height in pixels.
int fontHeight(int dpi) { return -(825 * dpi + 3600) / 7200; }

// a / b to the nearest whole number, halves away from zero; b > 0.
int rounded(long long a, long long b) {
  return static_cast<int>(a < 0 ? -((-a + b / 2) / b) : (a + b / 2) / b);
}

}  // namespace

// ---------------------------------------------------------------- Control

void Control::ensureLoaded() { form_->ensureLoaded(); }

// The control joins its form when its statement describes it; the order of the
// statements gives the controls' ids.
void Control::describe(const Description& d) {
  if (!form_) d.form->controls_.push_back(this);
  form_ = d.form;
  look_ = d.look;
  autoSize_ = d.sizedToText;
  tab_ = d.tabPlace;
  click_ = d.click;
  design_.caption = d.caption;
  design_.enabled = d.enabled;
  design_.centred = d.centredText;
  design_.rect = d.rect;
  now_ = design_;
}

platform::Rect Control::pixels() const {
  const Twips& r = now_.rect;
  const Form& f = *form_;
  if (look_.kind == platform::ControlKind::Line) {  // one pixel thick, whatever the DPI
    int x = f.Px(r.left), y = f.Px(r.top);
    return {x, y, r.width ? f.Px(r.left + r.width) - x + 1 : 1,
            r.height ? f.Px(r.top + r.height) - y + 1 : 1};
  }
  return {f.Px(r.left), f.Px(r.top), f.Px(r.left + r.width) - f.Px(r.left),
          f.Px(r.top + r.height) - f.Px(r.top)};
}

bool Control::focusable() const { return look_.tabStop && now_.enabled && now_.visible; }

void Control::create(int id) {
  auto& w = platform::windows();
  platform::ControlLook look = look_;
  look.centred = now_.centred;
  handle_ =
      w.CreateControl(form_->handle_, id, look, now_.caption, pixels(), fontHeight(form_->dpi_));
  if (fitsText()) fitText();
  if (!now_.enabled) w.SetEnabled(handle_, false);
  for (const auto& item : now_.items) w.AddItem(handle_, item);
  if (now_.visible) w.SetVisible(handle_, true);
}

// As a fresh window at the new DPI would have it; its text and state stay.
void Control::layOut() {
  now_.rect = design_.rect;
  platform::windows().SetLayout(handle_, pixels(), fontHeight(form_->dpi_));
  if (fitsText()) fitText();
}

std::string Control::Caption() {
  ensureLoaded();
  return now_.caption;
}

void Control::Caption(const std::string& text) {
  ensureLoaded();
  now_.caption = text;
  auto& w = platform::windows();
  w.SetText(handle_, text);
  if (fitsText()) fitText();
}

// A label sized to its text is as wide as its text needs, and never narrower than
// designed; so is a check box, whose caption would otherwise be cut where the font is
// wider than the design's.
bool Control::fitsText() const {
  return autoSize_ || look_.kind == platform::ControlKind::CheckBox;
}

// The window moves only when its width does: most texts fit the designed width.
void Control::fitText() {
  auto& w = platform::windows();
  platform::Rect before = pixels();
  now_.rect.width = std::max(design_.rect.width, form_->FromPx(w.TextWidth(handle_, now_.caption)));
  if (platform::Rect after = pixels(); after.width != before.width) w.SetRect(handle_, after);
}

bool Control::Enabled() {
  ensureLoaded();
  return now_.enabled;
}

void Control::Enabled(bool enabled) {
  ensureLoaded();
  now_.enabled = enabled;
  platform::windows().SetEnabled(handle_, enabled);
}

bool Control::Visible() {
  ensureLoaded();
  return now_.visible;
}

void Control::Visible(bool visible) {
  ensureLoaded();
  bool hadFocusRoom = focusable();
  now_.visible = visible;
  platform::windows().SetVisible(handle_, visible);
  // A hidden button would keep the keyboard focus, and Enter and the keys would go
  // nowhere: the focus moves on to the first control that can take it. A form not yet
  // shown has no focus to lose, and taking it would activate the window before it
  // appears: Show gives it.
  if (hadFocusRoom && !visible && form_->state_ == Form::State::Shown) form_->focusFirst();
}

int CheckBox::Value() {
  ensureLoaded();
  return platform::windows().Check(handle_);
}

void Label::Alignment(bool centred) {
  ensureLoaded();
  now_.centred = centred;
  platform::windows().SetCentred(handle_, centred);
}

void ListBox::AddItem(const std::string& text) {
  ensureLoaded();
  now_.items.push_back(text);
  platform::windows().AddItem(handle_, text);
}

platform::Handle Control::hWnd() {
  ensureLoaded();
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

int Form::Px(int twips) const { return rounded(1LL * twips * dpi_, 1440); }
int Form::FromPx(int pixels) const { return rounded(1LL * pixels * 1440, dpi_); }

void Form::ensureLoaded() {
  if (state_ == State::Unloaded) Load();
}

void Form::Load() {
  if (state_ != State::Unloaded) return;
  auto& w = platform::windows();
  // A form centred on its owner belongs to the window that is active as it opens: it
  // stays above that window and has no taskbar button of its own.
  owner_ = startUp_ == StartUp::CentreOwner ? w.ActiveWindow() : 0;
  dpi_ = w.Dpi();
  adopted_.clear();
  handle_ = w.CreateForm(this, caption_, Px(clientWidth_), Px(clientHeight_), iconId_, owner_);
  if (!handle_) return;  // the window cannot be made: the form stays unloaded
  state_ = State::Loaded;

  // Focusable controls first, in their tab order, then the others as designed, with the
  // band underneath everything that stands on it.
  tabOrder_.clear();
  for (Control* c : controls_)
    if (c->tab_) tabOrder_.push_back(c);
  std::sort(tabOrder_.begin(), tabOrder_.end(),
            [](Control* a, Control* b) { return a->tab_ < b->tab_; });
  auto isBand = [](Control* c) {
    return c->look_.kind == platform::ControlKind::Label && c->look_.band &&
           c->design_.caption.empty();
  };
  std::vector<Control*> zOrder = tabOrder_;
  for (bool bands : {false, true})
    for (Control* c : controls_)
      if (isBand(c) == bands && std::find(zOrder.begin(), zOrder.end(), c) == zOrder.end())
        zOrder.push_back(c);
  for (Control* c : zOrder) {
    c->now_ = c->design_;
    auto index = std::find(controls_.begin(), controls_.end(), c) - controls_.begin();
    c->create(platform::kFirstControlId + static_cast<int>(index));
  }

  // Made where the system puts a new window, at the system's DPI, and only then moved to its
  // centre: a window moved onto a display of another DPI is told so and lays itself out
  // again; one made there is not told.
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
  if (Loaded()) state_ = State::Shown;
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

void Form::unload(UnloadMode mode, bool ask) {
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

void Form::TakePlaceOf(Form& other, bool withSize) {
  ensureLoaded();
  auto& w = platform::windows();
  platform::Rect place = w.GetRect(other.hWnd());
  if (!withSize) {
    platform::Rect own = w.GetRect(handle_);
    place.width = own.width;
    place.height = own.height;
  }
  w.SetRect(handle_, place);
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
  std::size_t index = static_cast<std::size_t>(controlId - platform::kFirstControlId);
  if (index >= controls_.size()) return;
  Handler click = controls_[index]->click_;
  // A click that arrives while one of this form's handlers runs (inside its pumps or a
  // dialog it shows) is ignored: one handler at a time.
  if (!click || running_) return;
  running_ = true;
  (this->*click)();
  running_ = false;
}

// A disabled form, or one whose handler is running, is not closed from outside: the run
// finishes first. The end of the session is another matter (OnEndSession).
void Form::OnCloseRequest(UnloadMode why) {
  if (running_ || !platform::windows().Enabled(handle_)) return;
  unload(why, true);
}

bool Form::OnQueryEndSession() {
  int cancel = 0;
  Form_QueryUnload(cancel, UnloadMode::AppWindows);
  return cancel == 0;
}

void Form::OnEndSession() { unload(UnloadMode::AppWindows, false); }

void Form::Adopt(platform::Handle child, platform::Rect at96) {
  if (child) adopted_.push_back({child, at96});
}

void Form::Disown(platform::Handle child) {
  std::erase_if(adopted_, [child](const auto& a) { return a.first == child; });
}

// Every control, and what other components put in the window, laid out again from the
// design at the new DPI; then the window takes the place the system proposes.
void Form::OnDpiChanged(int dpi, const platform::Rect& suggested) {
  if (state_ == State::Unloaded || dpi <= 0 || dpi == dpi_) return;
  dpi_ = dpi;
  auto& w = platform::windows();
  for (Control* c : controls_) c->layOut();
  for (auto& [child, r] : adopted_)
    w.SetRect(child, {Scaled(r.left), Scaled(r.top), Scaled(r.width), Scaled(r.height)});
  w.SetRect(handle_, suggested);
}

// ---------------------------------------------------------------- instances

Form*& Slot(const void* key) { return slots()[key]; }

void ResetAll() {
  for (auto& [key, form] : slots()) {
    delete form;
    form = nullptr;
  }
}

int LoadedCount() {
  return static_cast<int>(
      std::count_if(created().begin(), created().end(), [](Form* f) { return f->Loaded(); }));
}

void Run() {
  platform::windows().RunUntil([] { return LoadedCount() == 0; });
}

}  // namespace forms
