#pragma once
// What the focus highlighter and the key navigator need to know of a
// widget of the Qt window host, kept on the widget itself: the kind of
// control it stands for, whether it sits in a toolbar, whether it is
// required, whether a browse list took the navigator's keys for its own.

class QWidget;

namespace tdx::rt {

enum class WidgetRole {
  None,        // not a control the companions know (prompts, images, panels, ...)
  Entry,
  TextMulti,   // a multi-line text box
  TextSingle,  // a single-line text box
  Spin,
  Combo,
  List,
  DropList,
  Button,
  Check,
  Radio,
};

void setRole(QWidget* w, WidgetRole role);
WidgetRole roleOf(const QWidget* w);

void setInToolbar(QWidget* w, bool on);
bool inToolbar(const QWidget* w);

void setRequired(QWidget* w, bool on);
bool isRequired(const QWidget* w);

// A browse list's own keys (Insert, Delete, the mouse, Ctrl+Enter) take the
// slots in which the navigator would put Enter, Left and Right.
void setBrowseKeys(QWidget* w, bool on);
bool hasBrowseKeys(const QWidget* w);

}  // namespace tdx::rt
