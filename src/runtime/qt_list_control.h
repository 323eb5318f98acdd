#pragma once
// List and drop-list controls of the Qt window host, drawn from a
// BrowseList (runtime/browse.h): the list decides which rows are read, the
// control paints the page it holds and turns keys, clicks, the wheel and the
// scroll bar into the list's navigation calls. The scroll bar runs from 0
// to 100 and follows the list's thumb.

#include <QAbstractScrollArea>
#include <QPointer>
#include <QWidget>

#include "runtime/browse.h"
#include "runtime/qt_dialog_units.h"

class QHeaderView;
class QStandardItemModel;

namespace tdx::rt {

class ListControl : public QAbstractScrollArea {
  Q_OBJECT
 public:
  ListControl(BrowseList& list, const DialogUnits& units, QWidget* parent = nullptr);

  BrowseList& list() { return *list_; }
  // The list changed (onChanged): repaint, move the scroll bar.
  void refresh();
  int rowHeight() const;
  // The row under a point of the viewport; -1 below the last row.
  int rowAt(int y) const;
  // The text of a row as one line (the drop list shows its choice so).
  static QString rowText(const BrowseList& list, int row);

 signals:
  void doubleClicked();
  void rightClicked();
  // A row was clicked (the drop-down part of a drop list closes on it).
  void clicked();

 protected:
  void paintEvent(QPaintEvent*) override;
  void resizeEvent(QResizeEvent*) override;
  void keyPressEvent(QKeyEvent*) override;
  void mousePressEvent(QMouseEvent*) override;
  void mouseDoubleClickEvent(QMouseEvent*) override;
  void wheelEvent(QWheelEvent*) override;
  void contextMenuEvent(QContextMenuEvent*) override;
  void scrollContentsBy(int, int) override {}

 private:
  void placeHeader();
  void syncScrollBar();
  void scrollAction(int action);
  QRect cellRect(int row, int column) const;

  BrowseList* list_;
  DialogUnits units_;
  QHeaderView* header_ = nullptr;
  QStandardItemModel* headerModel_ = nullptr;
  bool syncing_ = false;
};

// A drop list: the current row shown as a combo box; clicking it, F4 or
// Alt+Down opens the list below it; Up and Down change the choice in place.
class DropListControl : public QWidget {
  Q_OBJECT
 public:
  DropListControl(BrowseList& list, const DialogUnits& units, QWidget* parent = nullptr);

  BrowseList& list() { return *list_; }
  void refresh();
  void showPopup();
  bool popupShown() const { return popup_ && popup_->isVisible(); }
  QSize sizeHint() const override;

 signals:
  // The user made a choice (in the opened list, or with Up and Down).
  void chosen();

 protected:
  void paintEvent(QPaintEvent*) override;
  void mousePressEvent(QMouseEvent*) override;
  void keyPressEvent(QKeyEvent*) override;
  void wheelEvent(QWheelEvent*) override;

 private:
  void closePopup(bool choose);
  QString currentText() const;

  BrowseList* list_;
  DialogUnits units_;
  QPointer<QWidget> popup_;
  QPointer<ListControl> popupList_;
};

}  // namespace tdx::rt
