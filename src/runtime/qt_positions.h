#pragma once
// Window positions on the screen: restored after a window opens and saved
// when it closes, through the session's store (runtime/positions.h, which
// holds the rules), in dialogue units of the window's font.

#include <string>

#include "runtime/qt_dialog_units.h"

class QWidget;

namespace tdx::rt {

class PositionStore;

// Places `top` (not shown yet) as saved; true when it is to be shown
// maximised.
bool restorePosition(QWidget* top, const PositionStore* store, const std::string& name, bool resizable,
                     const DialogUnits& units);
void savePosition(const QWidget* top, PositionStore* store, const std::string& name, bool resizable,
                  const DialogUnits& units);
// Shows a window placed by restorePosition.
void showPlaced(QWidget* top, bool maximised);

}  // namespace tdx::rt
