// The timed programs for tools/bench.sh: Setup or Uninstall (QEL_SETUP or QEL_UNINSTALL)
// with each operation of the platform a run uses timed on its way to the real one, the
// times added up by kind in the block Cronometro.h shares with the driver. Everything
// else is the shipped program's own code.
#include <windows.h>

#include "../bench/Cronometro.h"
#include "frmMain.h"
#include "platform/win32/Win32.h"

namespace {

using namespace platform;
using Str = const std::string&;

Cronometro nessuno;
Cronometro* tempi = &nessuno;

// Calls `what` and adds the milliseconds it took to `total`; a call made inside another
// timed one (a control laid out while it is made) counts only in the outer one.
template <class F>
auto Tempo(double& total, F what) {
  static int depth = 0;
  double inizio = Adesso();
  ++depth;
  auto risultato = what();
  if (--depth == 0) total += Adesso() - inizio;
  return risultato;
}

struct Domande : win32::Win32Files {
  std::optional<std::uint32_t> Attributes(Str p) override {
    return Tempo(tempi->queries, [&] { return Win32Files::Attributes(p); });
  }
};

struct Cartelle : win32::Win32Shell {
  std::string SpecialFolder(Csidl c, bool make) override {
    return Tempo(tempi->queries, [&] { return Win32Shell::SpecialFolder(c, make); });
  }
};

// Every operation of the windows a run uses; the loop that waits for events is not one.
struct Finestre : win32::Win32Windows {
  using B = win32::Win32Windows;
  double& t = tempi->windows;
  Handle CreateForm(WindowEvents* e, Str c, int w, int h, int i, Handle o) override {
    return Tempo(t, [&] { return B::CreateForm(e, c, w, h, i, o); });
  }
  Handle CreateControl(Handle f, int id, const ControlLook& l, Str x, const Rect& r,
                       int h) override {
    return Tempo(t, [&] { return B::CreateControl(f, id, l, x, r, h); });
  }
  void Destroy(Handle h) override {
    Tempo(t, [&] { return B::Destroy(h), 0; });
  }
  void SetText(Handle h, Str x) override {
    Tempo(t, [&] { return B::SetText(h, x), 0; });
  }
  void SetEnabled(Handle h, bool e) override {
    Tempo(t, [&] { return B::SetEnabled(h, e), 0; });
  }
  void SetVisible(Handle h, bool v) override {
    Tempo(t, [&] { return B::SetVisible(h, v), 0; });
  }
  void SetRect(Handle h, const Rect& r) override {
    Tempo(t, [&] { return B::SetRect(h, r), 0; });
  }
  void SetLayout(Handle h, const Rect& r, int f) override {
    Tempo(t, [&] { return B::SetLayout(h, r, f), 0; });
  }
  void AddItem(Handle h, Str x) override {
    Tempo(t, [&] { return B::AddItem(h, x), 0; });
  }
  void Focus(Handle h) override {
    Tempo(t, [&] { return B::Focus(h), 0; });
  }
  void Pump() override {
    Tempo(t, [&] { return B::Pump(), 0; });
  }
  Handle CreateChild(unsigned x, Str c, Str s, ChildStyle y, const Rect& r, Handle p, int id,
                     std::intptr_t i, const void* d) override {
    return Tempo(t, [&] { return B::CreateChild(x, c, s, y, r, p, id, i, d); });
  }
  std::intptr_t Send(Handle h, ProgressMessage m, std::uintptr_t w, std::intptr_t l) override {
    double before = Adesso();
    auto answer = Tempo(t, [&] { return B::Send(h, m, w, l); });
    tempi->bar += Adesso() - before;
    return answer;
  }
  void DestroyChild(Handle h) override {
    Tempo(t, [&] { return B::DestroyChild(h), 0; });
  }
};

struct Soste : win32::Win32Processes {
  void Pause(unsigned ms) override {
    Tempo(tempi->pauses, [&] { return win32::Win32Processes::Pause(ms), 0; });
  }
};

#ifdef QEL_SETUP
struct Lavoro : win32::Win32Installation {
  using Base = win32::Win32Installation;
  std::string SystemDirectory(unsigned n) override {
    return Tempo(tempi->queries, [&] { return Base::SystemDirectory(n); });
  }
  bool MakeFolder(Str p) override {
    return Tempo(tempi->copies, [&] { return Base::MakeFolder(p); });
  }
  bool Copy(Str a, Str b) override {
    return Tempo(tempi->copies, [&] { return Base::Copy(a, b); });
  }
  bool Start(Str a, Str c, ShowCommand s) override {
    return Tempo(tempi->starts, [&] { return Base::Start(a, c, s); });
  }
  bool WriteShortcut(Str l, Str t, ShowCommand s, Str d) override {
    return Tempo(tempi->shortcuts, [&] { return Base::WriteShortcut(l, t, s, d); });
  }
};
#else
struct Lavoro : win32::Win32Removal {
  using Base = win32::Win32Removal;
  int DeleteFiles(Str p) override {
    return Tempo(tempi->deletions, [&] { return Base::DeleteFiles(p); });
  }
  bool RemoveFolder(Str p) override {
    return Tempo(tempi->deletions, [&] { return Base::RemoveFolder(p); });
  }
  bool DeleteMachineKey(Str k) override {
    return Tempo(tempi->deletions, [&] { return Base::DeleteMachineKey(k); });
  }
  bool IsLink(Str f) override {
    return Tempo(tempi->queries, [&] { return Base::IsLink(f); });
  }
  std::string OwnFolder() override {
    return Tempo(tempi->queries, [&] { return Base::OwnFolder(); });
  }
};
#endif

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  if (Cronometro* condiviso = ApriCronometro()) tempi = condiviso;
  static Lavoro lavoro;
  static Soste soste;
#ifdef QEL_SETUP
  win32::Install(&lavoro, nullptr);
#else
  win32::Install(nullptr, &lavoro);
#endif
  // The rest of the platform goes through the timed parts too.
  static Domande domande;
  static Cartelle cartelle;
  static Finestre finestre;
  static Platform timed{domande, cartelle, soste, finestre, Get().installation, Get().removal};
  platform::Install(&timed);
  forms::Start<frmMain>();
  return 0;
}
