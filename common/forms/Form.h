// A very small form toolkit: forms with named controls laid out in twips, their
// Caption, Enabled, Visible and Value, and the lifecycle Form_Load, Form_QueryUnload
// and Form_Unload. One instance per form class, made by instance<F>() on first use;
// any access to a control or to the form's window loads it (again, after an unload).
#pragma once

#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include "platform/Platform.h"

namespace forms {

// Why a form is being unloaded.
enum UnloadMode {
  vbFormControlMenu = 0,  // close box, system menu, Alt+F4
  vbFormCode = 1,         // the program's own Unload
  vbAppWindows = 2,       // Windows shutting down or the user logging off
  vbAppTaskManager = 3,
};

struct Twips {
  int left = 0, top = 0, width = 0, height = 0;
};

constexpr auto Label = platform::ControlKind::Label;
constexpr auto Button = platform::ControlKind::Button;
constexpr auto TextBox = platform::ControlKind::TextBox;
constexpr auto CheckBox = platform::ControlKind::CheckBox;
constexpr auto ListBox = platform::ControlKind::ListBox;
constexpr auto Picture = platform::ControlKind::Picture;
constexpr auto Line = platform::ControlKind::Line;

class Form;

class Control {
 public:
  Control(Form& form, platform::ControlKind kind, Twips where, std::string caption);
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;

  // How the control is designed.
  Control& bold();
  Control& onBand();  // background COLOR_WINDOW, text COLOR_WINDOWTEXT
  Control& centred();
  Control& wraps();     // a fixed box; the text breaks into lines inside it
  Control& autoSize();  // a one-line label whose width follows its text
  Control& multiLine();
  Control& bothScrollBars();
  Control& readOnly();
  Control& disabled();
  Control& hidden();
  Control& picture(int iconId);
  Control& colour(int sysColour);
  // What a press of the button (or a change of the check box) runs.
  Control& onClick(std::function<void()> handler);

  // What the program reads and changes while it runs.
  std::string Caption();
  void Caption(const std::string& text);
  std::string Text() { return Caption(); }
  void Text(const std::string& text) { Caption(text); }
  bool Enabled();
  void Enabled(bool enabled);
  bool Visible();
  void Visible(bool visible);
  int Value();  // a check box: 0 unticked, 1 ticked
  void Value(int value);
  void Alignment(bool centred);
  void AddItem(const std::string& text);
  int ListCount();
  std::string List(int index);
  Twips Rect();
  platform::Handle hWnd();

 private:
  friend class Form;
  struct State {
    std::string caption;
    bool enabled = true, visible = true, centred = false;
    int value = 0;
    std::vector<std::string> items;
    Twips rect;
  };
  bool focusable() const;
  void create(int id);
  bool fitsText() const;
  void fitText();
  platform::Rect pixels() const;

  Form& form_;
  std::function<void()> click_;
  platform::ControlLook look_;
  bool autoSize_ = false;
  State design_, now_;
  platform::Handle handle_ = 0;
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
  void Unload() { unload(vbFormCode, true); }
  void Move(int left, int top);
  void Move(int left, int top, int width, int height);
  int Left();
  int Top();
  int Width();
  int Height();
  bool Enabled();
  void Enabled(bool enabled);
  platform::Handle hWnd();
  bool Loaded() const { return state_ != State::Unloaded; }

  // Pixels at the display's DPI, and back.
  static int Px(int twips);
  static int FromPx(int pixels);
  // A length given in pixels at 96 DPI, at the display's DPI.
  static int Scaled(int pixelsAt96) { return Px(pixelsAt96 * 15); }

 protected:
  virtual void Form_Load() {}
  virtual void Form_QueryUnload(int& /*Cancel*/, int /*UnloadMode*/) {}
  virtual void Form_Unload(int& /*Cancel*/) {}
  // The order in which the keyboard focus moves; the first one able to take it has it
  // when the form is shown.
  void TabOrder(std::initializer_list<Control*> order) { tabOrder_ = order; }

 private:
  friend class Control;
  enum class State { Unloaded, Loaded };
  void ensureLoaded();
  void unload(int mode, bool ask);
  void focusFirst();
  void enableOthers();
  // platform::WindowEvents
  void OnCommand(int controlId) override;
  void OnCloseRequest(int unloadMode) override;
  bool OnQueryEndSession() override;
  void OnEndSession() override;

  std::string caption_;
  int clientWidth_, clientHeight_, iconId_;
  StartUp startUp_;
  State state_ = State::Unloaded;
  bool unloading_ = false;
  bool running_ = false;  // one of its click handlers is running
  platform::Handle handle_ = 0;
  platform::Handle owner_ = 0;
  std::vector<Control*> controls_;
  std::vector<Control*> tabOrder_;
  std::vector<Form*> disabledWhileModal_;
};

// A form class's one instance, made on first use.
Form*& Slot(const void* key);
void ResetAll();  // destroys every instance (tests start afresh with it)
std::vector<Form*> All();
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
