// The installed-version check on the way from the welcome page to the licence page: a
// newer installed version warns once, anything else (older, unreadable, missing) is
// silent, and the licence page follows either way.
#include "../Driver.h"

using namespace e2e;

namespace {

constexpr char kChiave[] = "HKLM\\SOFTWARE\\Qel\\Pictura";
constexpr char kAvviso[] =
    "Nel computer in uso è stata rilevata una versione superiore di QelPictura\r\n"
    "Onde evitare conflitti è consigliabile non installare questa versione.\r\n"
    "In alternativa è possibile rimuovere la versione superiore e solo dopo eseguire "
    "l'installazione della presente versione";

struct Valore {
  const char* type;  // nullptr: the key is deleted
  const char* data;
  bool warns;
};

// One run of Setup from the welcome page to the licence page; false when a check failed.
bool WelcomeToLicence(const Valore& v) {
  Program setup = Start("Setup.exe");
  HWND page = WaitWindow(setup, kTitolo, kPagina);
  if (CHECK(page != nullptr)) {
    setup.Kill();
    return false;
  }
  Press(Child(page, "Button", "&Continua"));
  HWND dialog = nullptr, licence = nullptr;
  WaitFor([&] {
    for (HWND h : Windows(setup, kTitolo)) {
      if (ClientSize(h).cx == kDialogo) dialog = h;
      if (Child(h, "Button", kAccetto)) licence = h;
    }
    return dialog || licence;
  });
  bool ok = !CHECK(dialog || licence);
  if (v.warns) {
    // The dialog is modal: the licence page may only come after its answer.
    ok &= !CHECK(dialog != nullptr && licence == nullptr);
    if (dialog) {
      HWND text = Child(dialog, "Static", kAvviso);
      ok &= !CHECK(text != nullptr);
      ok &= !CHECK((GetWindowLongW(text, GWL_STYLE) & SS_TYPEMASK) == SS_LEFT);
      HWND okButton = Child(dialog, "Button", "&OK");
      ok &= !CHECK(okButton && IsWindowVisible(okButton));
      ok &= !CHECK(!IsWindowVisible(Child(dialog, "Button", "&Si")));
      ok &= !CHECK(!IsWindowVisible(Child(dialog, "Button", "&No")));
      Press(okButton);
      ok &= !CHECK(WaitFor([&] { return !IsWindow(dialog); }));
      licence = WaitWindowWith(setup, kTitolo, "Button", kAccetto);
    }
  } else {
    ok &= !CHECK(dialog == nullptr);
  }
  ok &= !CHECK(licence != nullptr);
  ok &= !CHECK(WaitFor([&] { return Windows(setup, kTitolo).size() == 1; }));
  setup.Kill();
  setup.Exited();
  return ok;
}

}  // namespace

SCENARIO(version_check_warns_only_for_a_newer_number) {
  const Valore valori[] = {
      {"REG_SZ", "2", true},         {"REG_SZ", "1", false},
      {"REG_SZ", "2.5", true},       {"REG_SZ", "abc", false},
      {"REG_SZ", "-3", false},       {"REG_SZ", "40000", false},
      {"REG_DWORD", "2", true},      {"REG_DWORD", "1", false},
      {"REG_BINARY", "0200", false}, {"REG_MULTI_SZ", "2\\02", false},
      {"REG_EXPAND_SZ", "2", true},  {nullptr, nullptr, false},
  };
  for (const Valore& v : valori) {
    std::string line = v.type ? std::string("reg add \"") + kChiave + "\" /v Version /t " + v.type +
                                    " /d \"" + v.data + "\" /f"
                              : std::string("reg delete \"") + kChiave + "\" /f";
    CHECK(Run(line) == 0);
    if (!WelcomeToLicence(v))
      std::fprintf(stderr, "  with %s %s\n", v.type ? v.type : "(no key)", v.data ? v.data : "");
  }
}
