#include "runtime/control_values.h"

#include "records/cp1250.h"
#include "runtime/pictures.h"

namespace tdx::rt {

namespace {

std::string_view trimBlanks(std::string_view s) {
  while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  return s;
}

// A number control without a picture shows the value as it is.
std::string plainNumber(const Decimal& v) { return v.toExactString(); }

}  // namespace

std::string shownText(const ControlSpec& c) {
  const Binding& b = c.value;
  if (b.getText) {
    std::string utf8 = cp1250::toUtf8(cp1250::trimRight(b.getText()));
    if (c.picture.empty()) return utf8;
    const auto& p = pic::picture(c.picture);
    return p.kind == pic::Kind::Text ? pic::format(p, utf8) : utf8;
  }
  if (b.getNumber) {
    Decimal v = b.getNumber();
    if (c.picture.empty()) return plainNumber(v);
    const auto& p = pic::picture(c.picture);
    if (p.kind != pic::Kind::Number) return plainNumber(v);
    return std::string(trimBlanks(pic::format(p, v)));
  }
  return {};
}

bool storeTyped(const ControlSpec& c, std::string_view utf8) {
  const Binding& b = c.value;
  if (b.setText) {
    auto bytes = cp1250::fromUtf8(utf8);
    if (!bytes) return false;
    if (!c.picture.empty()) {
      const auto& p = pic::picture(c.picture);
      if (p.kind == pic::Kind::Text && pic::charCount(cp1250::trimRight(utf8)) > std::size_t(p.width)) return false;
    }
    b.setText(*bytes);
    return true;
  }
  if (b.setNumber) {
    std::optional<Decimal> v;
    if (!c.picture.empty() && pic::picture(c.picture).kind == pic::Kind::Number) {
      auto e = pic::parse(c.picture, utf8);
      if (!e) return false;
      v = e.value;
    } else {
      auto t = trimBlanks(utf8);
      v = t.empty() ? std::optional<Decimal>(Decimal(0)) : Decimal::parse(t);
      if (!v) return false;
    }
    return b.setNumber(*v);
  }
  return false;
}

Decimal boundNumber(const ControlSpec& c) {
  if (c.value.getNumber) return c.value.getNumber();
  if (c.value.getText) {
    auto v = Decimal::parse(trimBlanks(c.value.getText()));
    return v ? *v : Decimal(0);
  }
  return Decimal(0);
}

bool storeNumber(const ControlSpec& c, const Decimal& v) {
  if (c.value.setNumber) return c.value.setNumber(v);
  if (c.value.setText) {
    c.value.setText(v.toExactString());
    return true;
  }
  return false;
}

bool editsValue(ControlKind k) {
  switch (k) {
    case ControlKind::Entry:
    case ControlKind::Text:
    case ControlKind::Spin:
    case ControlKind::Check:
    case ControlKind::Option:
    case ControlKind::DropList:
      return true;
    default:
      return false;
  }
}

bool takesFocus(ControlKind k) {
  return editsValue(k) || k == ControlKind::Button || k == ControlKind::List;
}

}  // namespace tdx::rt
