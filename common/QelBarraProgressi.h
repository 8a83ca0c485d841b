// A platform progress bar (0 to 100) put into an existing window and moved in fixed
// steps. The two programs differ in one setting: the size of the large step, and
// whether the bar may be destroyed by its owner (the uninstaller's may; Setup's goes
// with its page).
#pragma once

#include "platform/Platform.h"

struct ImpostazioniBarra {
  int passiIncremento;  // one-unit steps of Increment
  bool conDestroy;
};

inline constexpr ImpostazioniBarra kBarraSetup{6, false};
inline constexpr ImpostazioniBarra kBarraUninstall{20, true};

class QelBarraProgressi {
 public:
  explicit QelBarraProgressi(ImpostazioniBarra impostazioni) : impostazioni_(impostazioni) {}

  bool CrateProgress(int iLeft, int iTop, int iWidth, int iHeight);
  platform::Handle hWnd() const { return barra_; }
  platform::Handle HandleParent() const { return padre_; }
  void HandleParent(platform::Handle Valore) { padre_ = Valore; }
  void Increment();
  void LievIncrement();
  void Destroy();  // only where the settings allow it

 private:
  ImpostazioniBarra impostazioni_;
  platform::Handle padre_ = 0;
  platform::Handle barra_ = 0;
};
