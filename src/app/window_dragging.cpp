#include "app/window_dragging.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace tdx::app {

OutlineDragging::OutlineDragging() {
#ifdef _WIN32
  BOOL full = FALSE;
  if (SystemParametersInfoW(SPI_GETDRAGFULLWINDOWS, 0, &full, 0) && full) {
    wasFull_ = SystemParametersInfoW(SPI_SETDRAGFULLWINDOWS, FALSE, nullptr, SPIF_SENDCHANGE) != 0;
  }
#endif
}

OutlineDragging::~OutlineDragging() {
#ifdef _WIN32
  if (wasFull_) SystemParametersInfoW(SPI_SETDRAGFULLWINDOWS, TRUE, nullptr, SPIF_SENDCHANGE);
#endif
}

}  // namespace tdx::app
