#include "QelBarraProgressi.h"

namespace {
constexpr unsigned PBM_SETSTEP = 0x404;
constexpr unsigned PBM_STEPIT = 0x405;
constexpr unsigned kFiglioVisibile = 0x50000000;  // WS_CHILD | WS_VISIBLE
constexpr int kIdentificatore = 1;
constexpr std::intptr_t kIstanza = 1;
const std::int32_t kDatiCreazione = 1;
}  // namespace

bool QelBarraProgressi::CrateProgress(int iLeft, int iTop, int iWidth, int iHeight) {
  if (padre_ == 0) return false;
  auto& w = platform::windows();
  barra_ =
      w.CreateChild(0, "msctls_progress32", "1", kFiglioVisibile, {iLeft, iTop, iWidth, iHeight},
                    padre_, kIdentificatore, kIstanza, &kDatiCreazione);
  w.Send(barra_, PBM_SETSTEP, 1, 0);
  return barra_ != 0;
}

void QelBarraProgressi::Increment() {
  if (barra_ == 0) return;
  for (int i = 0; i < impostazioni_.passiIncremento; ++i)
    platform::windows().Send(barra_, PBM_STEPIT, 0, 0);
}

void QelBarraProgressi::LievIncrement() {
  if (barra_ != 0) platform::windows().Send(barra_, PBM_STEPIT, 0, 0);
}

void QelBarraProgressi::Destroy() {
  if (impostazioni_.conDestroy && barra_ != 0) platform::windows().DestroyChild(barra_);
}
