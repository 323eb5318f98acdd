#pragma once
// Bindings to a field of a context's record buffer that find the field
// again at every use.
//
// rt::bind(field) keeps a reference into the buffer's bytes, and a record
// read into the buffer by the store (get, reget) may move new bytes in, so
// a form whose buffer is re-read (a medicine picked, another station's
// version after warning 38) would show and write freed memory. A live
// binding takes a function that returns the field and asks it each time:
//   liveBinding([&ctx] -> auto& { return ctx.rec<Paralela>(FileId::Paralela).ncena; })

#include <string_view>
#include <utility>

#include "records/decimal.h"
#include "runtime/window.h"

namespace tdx::rt {

template <class FieldOf>
Binding liveBinding(FieldOf fieldOf) {
  // The kind of binding (text or number) is that of rt::bind for the field.
  Binding proto = bind(fieldOf());
  Binding b;
  if (proto.getText) b.getText = [fieldOf] { return bind(fieldOf()).getText(); };
  if (proto.setText) b.setText = [fieldOf](std::string_view v) { bind(fieldOf()).setText(v); };
  if (proto.getNumber) b.getNumber = [fieldOf] { return bind(fieldOf()).getNumber(); };
  if (proto.setNumber) b.setNumber = [fieldOf](const Decimal& v) { return bind(fieldOf()).setNumber(v); };
  return b;
}

}  // namespace tdx::rt
