#pragma once
// Short ways to describe the controls of this folder's windows, so that a
// window's description reads as its layout: label, text, place.

#include <optional>
#include <string>
#include <utility>

#include "runtime/browse.h"
#include "runtime/window.h"

namespace tdx::tender {

inline rt::ControlSpec control(rt::ControlKind kind, std::string label, rt::Rect at, std::string parent = {}) {
  rt::ControlSpec c;
  c.kind = kind;
  c.label = std::move(label);
  c.at = at;
  c.parent = std::move(parent);
  return c;
}

inline rt::ControlSpec prompt(std::string label, std::string text, rt::Rect at, std::string parent = {}) {
  auto c = control(rt::ControlKind::Prompt, std::move(label), at, std::move(parent));
  c.text = std::move(text);
  return c;
}

inline rt::ControlSpec button(std::string label, std::string text, std::string icon, std::string tip, rt::Rect at) {
  auto c = control(rt::ControlKind::Button, std::move(label), at);
  c.text = std::move(text);
  c.icon = std::move(icon);
  c.tip = std::move(tip);
  return c;
}

inline rt::ControlSpec bound(rt::ControlKind kind, std::string label, std::string picture, rt::Binding value,
                             rt::Rect at, std::string parent = {}) {
  auto c = control(kind, std::move(label), at, std::move(parent));
  c.picture = std::move(picture);
  c.value = std::move(value);
  return c;
}

// A list column; its header aligned as its cells unless told otherwise.
inline rt::BrowseColumn column(std::string header, int width, rt::Align align, int indent = 0,
                               std::optional<rt::Align> headerAlign = std::nullopt, bool rightBorder = false) {
  rt::BrowseColumn c;
  c.header = std::move(header);
  c.width = width;
  c.align = align;
  c.indent = indent;
  c.headerAlign = headerAlign.value_or(align);
  c.rightBorder = rightBorder;
  return c;
}

}  // namespace tdx::tender
