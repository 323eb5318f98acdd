#include "runtime/qt_widget_roles.h"

#include <QVariant>
#include <QWidget>

namespace tdx::rt {

namespace {
constexpr const char* kRole = "tdxRole";
constexpr const char* kToolbar = "tdxToolbar";
constexpr const char* kRequired = "tdxRequired";
constexpr const char* kBrowseKeys = "tdxBrowseKeys";
}  // namespace

void setRole(QWidget* w, WidgetRole role) { w->setProperty(kRole, int(role)); }

WidgetRole roleOf(const QWidget* w) {
  QVariant v = w ? w->property(kRole) : QVariant();
  return v.isValid() ? WidgetRole(v.toInt()) : WidgetRole::None;
}

void setInToolbar(QWidget* w, bool on) { w->setProperty(kToolbar, on); }
bool inToolbar(const QWidget* w) { return w && w->property(kToolbar).toBool(); }

void setRequired(QWidget* w, bool on) { w->setProperty(kRequired, on); }
bool isRequired(const QWidget* w) { return w && w->property(kRequired).toBool(); }

void setBrowseKeys(QWidget* w, bool on) { w->setProperty(kBrowseKeys, on); }
bool hasBrowseKeys(const QWidget* w) { return w && w->property(kBrowseKeys).toBool(); }

}  // namespace tdx::rt
