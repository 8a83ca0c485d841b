#include "QelBarraProgressi.h"

using platform::ProgressMessage;

namespace {
constexpr int kIdentificatore = 1;
constexpr std::intptr_t kIstanza = 1;
const std::int32_t kDatiCreazione = 1;
}  // namespace

bool QelBarraProgressi::CrateProgress(int iLeft, int iTop, int iWidth, int iHeight) {
  if (padre_ == 0) return false;
  auto& w = platform::windows();
  barra_ = w.CreateChild(0, "msctls_progress32", "1", platform::ChildStyle::ChildVisible,
                         {iLeft, iTop, iWidth, iHeight}, padre_, kIdentificatore, kIstanza,
                         &kDatiCreazione);
  w.Send(barra_, ProgressMessage::SetStep, 1, 0);
  return barra_ != 0;
}

// The large step in one move: the bar is drawn once at its new place, not once for each
// unit on the way there.
void QelBarraProgressi::Increment() {
  if (barra_ != 0)
    platform::windows().Send(barra_, ProgressMessage::DeltaPos, impostazioni_.passiIncremento, 0);
}

void QelBarraProgressi::LievIncrement() {
  if (barra_ != 0) platform::windows().Send(barra_, ProgressMessage::StepIt, 0, 0);
}

void QelBarraProgressi::Destroy() {
  if (impostazioni_.conDestroy && barra_ != 0) platform::windows().DestroyChild(barra_);
}
