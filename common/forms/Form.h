// A very small form toolkit: forms with named controls laid out in twips, and the
// lifecycle Form_Load, Form_QueryUnload and Form_Unload. One instance per form class,
// made by instance<F>() on first use; any access to a control or to the form's window
// loads it (again, after an unload).
//
// A form's constructor describes each control in one statement: its kind, twips
// rectangle and text, its look, its place in the focus order and its click handler,
//
//   cmdOk = button({2565, 1800, 1215, 390}, "&OK").tab(1).onClick(&frmMsg::cmdOk_Click);
//
// The statements' order gives the controls' ids, and their places the focus order.
//
// Where state is read: what the user can change comes from the window (a check box's
// tick; a form's place, as the user may drag it, and whether it is enabled, which modal
// forms change). The rest only the program changes (captions, texts, enabled and visible
// controls, list lines): each change goes to the window and to the control's own
// record, and reads come from the record. Text boxes here are read-only.
#pragma once

#include <string>
#include <vector>

#include "platform/Platform.h"

namespace forms {

using platform::SysColour;
using platform::UnloadMode;

struct Twips {
  int left = 0, top = 0, width = 0, height = 0;
};

class Form;
using Handler = void (Form::*)();

// What a control's statement says about it, whatever its kind.
struct Description {
  Form* form = nullptr;
  platform::ControlLook look;
  Twips rect;
  std::string caption;
  bool enabled = true, centredText = false;
  bool sizedToText = false;  // a one-line label whose width follows its text
  int tabPlace = 0;          // place in the focus order, from 1; 0 takes no focus
  Handler click = nullptr;
};

// One statement's description of a control of kind K; only the calls that make sense
// for K compile.
template <class K>
class Design : public Description {
  static constexpr bool kLabel = K::kKind == platform::ControlKind::Label;
  static constexpr bool kTextBox = K::kKind == platform::ControlKind::TextBox;
  static constexpr bool kClickable =
      K::kKind == platform::ControlKind::Button || K::kKind == platform::ControlKind::CheckBox;

 public:
  Design(Form& f, Twips where, std::string text) {
    form = &f;
    look.kind = K::kKind;
    rect = where;
    caption = std::move(text);
  }

  Design& bold() requires kLabel { return look.bold = true, *this; }
  // Background and text in the window's colours: stands on the white band.
  Design& onBand() requires(kLabel || K::kKind == platform::ControlKind::Picture) {
    return look.band = true, *this;
  }
  Design& centred() requires kLabel { return centredText = true, *this; }
  Design& wraps() requires kLabel { return look.wraps = true, *this; }  // breaks into lines
  Design& autoSize() requires kLabel { return sizedToText = true, *this; }
  Design& multiLine() requires kTextBox { return look.multiLine = true, *this; }
  Design& bothScrollBars() requires kTextBox { return look.scrollBars = true, *this; }
  Design& readOnly() requires kTextBox { return look.readOnly = true, *this; }
  Design& disabled() { return enabled = false, *this; }
  // The name screen readers announce, where the caption is not the right one.
  Design& named(std::string name) { return look.name = std::move(name), *this; }
  // Its place in the focus order, from 1; the first one able to take the focus has it
  // when the form is shown.
  Design& tab(int place) requires(!kLabel && K::kKind != platform::ControlKind::Picture &&
                                  K::kKind != platform::ControlKind::Line) {
    look.tabStop = true;
    return tabPlace = place, *this;
  }
  // What a press of the button (or a change of the check box) runs: a handler of the form.
  template <class F>
  Design& onClick(void (F::*handler)()) requires kClickable {
    return click = static_cast<Handler>(handler), *this;
  }
};

class Control {
 public:
  Control() = default;
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;

  bool Enabled();
  void Enabled(bool enabled);
  bool Visible();
  void Visible(bool visible);
  platform::Handle hWnd();

 protected:
  void describe(const Description& d);
  void ensureLoaded();  // its form's window, and so its own
  std::string Caption();
  void Caption(const std::string& text);

 private:
  friend class Form;
  friend class CheckBox;
  friend class ListBox;
  friend class Label;
  struct State {
    std::string caption;
    bool enabled = true, visible = true, centred = false;
    std::vector<std::string> items;
    Twips rect;
  };
  bool focusable() const;
  void create(int id);
  void layOut();  // again, at the form's new DPI
  bool fitsText() const;
  void fitText();
  platform::Rect pixels() const;

  Form* form_ = nullptr;
  Handler click_ = nullptr;
  platform::ControlLook look_;
  bool autoSize_ = false;
  int tab_ = 0;
  State design_, now_;
  platform::Handle handle_ = 0;
};

class Label : public Control {
 public:
  static constexpr auto kKind = platform::ControlKind::Label;
  Label& operator=(const Design<Label>& d) { return describe(d), *this; }
  using Control::Caption;
  void Alignment(bool centred);
};

class CommandButton : public Control {
 public:
  static constexpr auto kKind = platform::ControlKind::Button;
  CommandButton& operator=(const Design<CommandButton>& d) { return describe(d), *this; }
  using Control::Caption;
};

class TextBox : public Control {
 public:
  static constexpr auto kKind = platform::ControlKind::TextBox;
  TextBox& operator=(const Design<TextBox>& d) { return describe(d), *this; }
  std::string Text() { return Caption(); }
  void Text(const std::string& text) { Caption(text); }
};

class CheckBox : public Control {
 public:
  static constexpr auto kKind = platform::ControlKind::CheckBox;
  CheckBox& operator=(const Design<CheckBox>& d) { return describe(d), *this; }
  using Control::Caption;
  int Value();  // 0 unticked, 1 ticked: the user's, so read from the window
};

class ListBox : public Control {
 public:
  static constexpr auto kKind = platform::ControlKind::ListBox;
  ListBox& operator=(const Design<ListBox>& d) { return describe(d), *this; }
  void AddItem(const std::string& text);
};

class Image : public Control {
 public:
  static constexpr auto kKind = platform::ControlKind::Picture;
  Image& operator=(const Design<Image>& d) { return describe(d), *this; }
};

class Line : public Control {
 public:
  static constexpr auto kKind = platform::ControlKind::Line;
  Line& operator=(const Design<Line>& d) { return describe(d), *this; }
};

class Form : public platform::WindowEvents {
 public:
  enum class StartUp { Manual, CentreScreen, CentreOwner };

  Form(std::string caption, int clientWidth, int clientHeight, int iconId, StartUp startUp);
  ~Form() override;
  Form(const Form&) = delete;
  Form& operator=(const Form&) = delete;

  virtual void Form_Initialize() {}

  void Load();
  void Show();
  void ShowModal();  // returns once the form has been unloaded
  void Unload() { unload(UnloadMode::Code, true); }
  void Move(int left, int top);
  void Move(int left, int top, int width, int height);
  // Stands where `other` stands, to the pixel, and with `withSize` as large: a page that
  // takes over from another. Pixels, not twips, which each form counts at its own DPI.
  void TakePlaceOf(Form& other, bool withSize);
  int Left();
  int Top();
  int Width();
  int Height();
  bool Enabled();
  void Enabled(bool enabled);
  platform::Handle hWnd();
  bool Loaded() const { return state_ != State::Unloaded; }

  // Pixels at the DPI of the display the window stands on, and back; halves round away
  // from zero on either side of it, so that a window left of or above the main display
  // comes back where it was.
  int Px(int twips) const;
  int FromPx(int pixels) const;
  // A length given in pixels at 96 DPI, at the window's DPI.
  int Scaled(int pixelsAt96) const { return Px(pixelsAt96 * 15); }
  // A child window another component made in the form's window at `at96` (pixels at 96
  // DPI, each scaled): it moves and grows with the controls when the DPI changes.
  void Adopt(platform::Handle child, platform::Rect at96);
  void Disown(platform::Handle child);  // once it has been destroyed

 protected:
  virtual void Form_Load() {}
  virtual void Form_QueryUnload(int& /*Cancel*/, UnloadMode /*UnloadMode*/) {}
  virtual void Form_Unload(int& /*Cancel*/) {}

  // The controls' descriptions, one kind each.
  Design<Label> label(Twips where, std::string text) { return {*this, where, std::move(text)}; }
  Design<CommandButton> button(Twips where, std::string text) {
    return {*this, where, std::move(text)};
  }
  Design<TextBox> textBox(Twips where, std::string text = "") {
    return {*this, where, std::move(text)};
  }
  Design<CheckBox> checkBox(Twips where, std::string text) {
    return {*this, where, std::move(text)};
  }
  Design<ListBox> listBox(Twips where) { return {*this, where, ""}; }
  Design<Image> image(Twips where, int iconId) {
    Design<Image> d{*this, where, ""};
    d.look.picture = iconId;
    return d;
  }
  // A one-pixel line in a system colour; `where` has a width or a height of 0.
  Design<Line> line(Twips where, SysColour colour) {
    Design<Line> d{*this, where, ""};
    d.look.colour = colour;
    return d;
  }

 private:
  friend class Control;
  enum class State { Unloaded, Loaded, Shown };
  void ensureLoaded();
  void unload(UnloadMode mode, bool ask);
  void focusFirst();
  void enableOthers();
  // platform::WindowEvents
  void OnCommand(int controlId) override;
  void OnCloseRequest(UnloadMode why) override;
  bool OnQueryEndSession() override;
  void OnEndSession() override;
  void OnDpiChanged(int dpi, const platform::Rect& suggested) override;

  std::string caption_;
  int clientWidth_, clientHeight_, iconId_;
  StartUp startUp_;
  int dpi_ = 96;
  State state_ = State::Unloaded;
  bool unloading_ = false;
  bool running_ = false;  // one of its click handlers is running
  platform::Handle handle_ = 0;
  platform::Handle owner_ = 0;
  std::vector<Control*> controls_;  // in the order they were described: their ids
  std::vector<Control*> tabOrder_;
  std::vector<Form*> disabledWhileModal_;
  std::vector<std::pair<platform::Handle, platform::Rect>> adopted_;
};

// A form class's one instance, made on first use.
Form*& Slot(const void* key);
void ResetAll();  // destroys every instance (tests start afresh with it)
int LoadedCount();

template <class F>
F& instance() {
  static const char key = 0;
  Form*& slot = Slot(&key);
  if (!slot) {
    F* made = new F();
    slot = made;
    made->Form_Initialize();
  }
  return static_cast<F&>(*slot);
}

// Runs the program's events until its last form has been unloaded.
void Run();

// Starts a program on its first form: loads it, shows it unless its loading already
// closed it, and runs until the last form is gone.
template <class F>
void Start() {
  F& first = instance<F>();
  first.Load();
  if (first.Loaded()) first.Show();
  Run();
}

}  // namespace forms
