#include "runtime/qt_positions.h"

#include <QWidget>

#include "runtime/positions.h"

namespace tdx::rt {

bool restorePosition(QWidget* top, const PositionStore* store, const std::string& name, bool resizable,
                     const DialogUnits& u) {
  if (!store || name.empty()) return false;
  RestorePlan plan = store->restore(name, top->isMaximized(), resizable);
  if (!plan.apply) return false;
  if (plan.restoreNormal) top->setWindowState(top->windowState() & ~Qt::WindowMaximized);
  QPoint at = top->pos();
  if (plan.x) at.setX(u.x(*plan.x));
  if (plan.y) at.setY(u.y(*plan.y));
  if (plan.x || plan.y) top->move(at);
  if (resizable && (plan.width || plan.height)) {
    QSize size = top->size();
    if (plan.width) size.setWidth(u.x(*plan.width));
    if (plan.height) size.setHeight(u.y(*plan.height));
    top->resize(size);
  }
  // Never opened minimised: a window saved so opens at its place.
  top->setWindowState(top->windowState() & ~Qt::WindowMinimized);
  return plan.maximize || (top->windowState() & Qt::WindowMaximized);
}

void savePosition(const QWidget* top, PositionStore* store, const std::string& name, bool resizable,
                  const DialogUnits& u) {
  if (!store || name.empty()) return;
  WindowState s;
  s.maximized = top->isMaximized();
  s.minimized = top->isMinimized();
  s.resizable = resizable;
  s.x = u.toX(top->x());
  s.y = u.toY(top->y());
  s.width = u.toX(top->width());
  s.height = u.toY(top->height());
  store->save(name, s);
}

void showPlaced(QWidget* top, bool maximised) {
  if (maximised) top->showMaximized();
  else top->show();
}

}  // namespace tdx::rt
