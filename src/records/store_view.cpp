// Ordered views: browse lists, reports and batch runs read pages of rows
// through the same seeks as next/previous, with their conditions ANDed in.

#include <algorithm>
#include <limits>

#include "records/cp1250.h"
#include "records/store.h"
#include "records/store_codec.h"
#include "records/store_errors.h"
#include "records/store_impl.h"

namespace tdx {

using namespace store;

struct OrderedView::Impl {
  RecordFile* file = nullptr;
  const KeyPlan* key = nullptr;  // nullptr: file order
  Filter filter;
  KeyValues fixedValues;  // of the leading components the conditions fix
  err::Error setupError;  // a condition or key that does not fit the file
  err::Error error;

  bool read(const Cursor& at, bool forward, int n, std::vector<ViewRow>& out);
  bool cursorOf(const Bookmark& mark, Cursor& at);
  bool readFrom(KeyValues values, int n, std::vector<ViewRow>& out);
};

namespace {

bool isText(FieldType t) { return t == FieldType::String || t == FieldType::CString || t == FieldType::Memo; }

const char* opSql(Condition::Op op) {
  switch (op) {
    case Condition::Op::Eq: return "=";
    case Condition::Op::Ne: return "<>";
    case Condition::Op::Lt: return "<";
    case Condition::Op::Le: return "<=";
    case Condition::Op::Gt: return ">";
    case Condition::Op::Ge: return ">=";
  }
  return "=";
}

// The SQL term of one condition; texts compare as Windows-1250 (by their
// derived column where the file has one, else through our SQL function).
err::Error conditionTerm(const Schema& schema, const Condition& c, std::string& term, Param& param) {
  const auto& def = schema.def();
  if (c.field < 0 || c.field >= int(def.fields.size()))
    return err::Error::driver(err::DriverError, 0, "a condition on no field of " + std::string(def.label));
  const auto& f = def.fields[c.field];
  const std::string& column = schema.fieldColumns()[c.field];
  std::string op = opSql(c.op);
  if (!isText(f.type)) {
    term = column + op + "?";
    param = {Param::Kind::Int, c.number, {}};
    return {};
  }
  auto text = cp1250::trimRight(c.text);
  if (c.nocase) {
    const auto* d = schema.derivedOf(c.field, ValueKind::Collation);
    term = (d ? d->column : "tdx_ck(" + column + ")") + op + "?";
    param = {Param::Kind::Blob, 0, cp1250::collationKey(text)};
  } else if (c.op == Condition::Op::Eq || c.op == Condition::Op::Ne) {
    term = column + op + "?";
    param = {Param::Kind::Text, 0, cp1250::toUtf8(text)};
  } else {
    const auto* d = schema.derivedOf(c.field, ValueKind::Bytes);
    term = (d ? d->column : "tdx_cp(" + column + ")") + op + "?";
    param = {Param::Kind::Blob, 0, std::string(text)};
  }
  return {};
}

// The value an equality condition gives a key component, if it is one the
// index can seek on.
bool fixedValue(const Schema& schema, const Component& comp, const Condition& c, KeyValue& v) {
  if (c.op != Condition::Op::Eq || c.field != comp.field) return false;
  const auto& f = schema.def().fields[c.field];
  if (comp.kind == ValueKind::Int) {
    if (isText(f.type)) return false;
    v = KeyValue{false, c.number, {}};
    return true;
  }
  if ((comp.kind == ValueKind::Collation) != c.nocase) return false;
  auto text = cp1250::trimRight(c.text);
  v = KeyValue{true, 0, comp.kind == ValueKind::Collation ? cp1250::collationKey(text) : std::string(text)};
  return true;
}

KeyValue lowest(ValueKind kind) {
  if (kind == ValueKind::Int) return KeyValue{false, std::numeric_limits<std::int64_t>::min(), {}};
  return KeyValue{true, 0, {}};
}

}  // namespace

OrderedView::OrderedView(RecordFile& file, std::optional<Key> order, std::vector<Condition> where)
    : impl_(std::make_unique<Impl>()) {
  auto& v = *impl_;
  v.file = &file;
  const Schema& schema = file.impl()->schema;
  if (order) {
    v.key = schema.key(*order);
    if (!v.key) v.setupError = err::Error::driver(err::DriverError, 0, "not a key of " + std::string(file.def().label));
  }
  for (const auto& c : where) {
    std::string term;
    Param param;
    if (auto e = conditionTerm(schema, c, term, param)) {
      v.setupError = e;
      break;
    }
    v.filter.sql += " AND " + term;
    v.filter.params.push_back(std::move(param));
  }
  if (v.key) {
    for (const auto& comp : v.key->components) {
      KeyValue value;
      bool found = false;
      for (const auto& c : where)
        if ((found = fixedValue(schema, comp, c, value))) break;
      if (!found) break;
      v.fixedValues.push_back(std::move(value));
    }
    v.filter.fixed = v.fixedValues.size();
  }
}

OrderedView::~OrderedView() = default;
OrderedView::OrderedView(OrderedView&&) noexcept = default;
OrderedView& OrderedView::operator=(OrderedView&&) noexcept = default;

const err::Error& OrderedView::error() const { return impl_->error; }

// One read of the view, as rows in view order.
bool OrderedView::Impl::read(const Cursor& at, bool forward, int n, std::vector<ViewRow>& out) {
  auto& v = *this;
  out.clear();
  if (v.setupError) {
    v.error = v.setupError;
    return false;
  }
  auto* s = v.file->impl();
  if (!s->db) {
    v.error = err::Error::of(err::FileNotOpen);
    return false;
  }
  std::vector<Row> rows;
  v.error = readRows(s->handle(), s->stmts, s->schema, v.key, v.filter, at, forward, n, rows);
  if (v.error) return false;
  out.reserve(rows.size());
  for (auto& r : rows) {
    Bookmark mark;
    mark.id = r.id;
    for (const auto& k : r.key) mark.keyBytes.push_back(encodeKeyValue(k));
    out.push_back(ViewRow{std::move(r.record), std::move(mark)});
  }
  if (!forward) std::reverse(out.begin(), out.end());
  return true;
}

bool OrderedView::Impl::cursorOf(const Bookmark& mark, Cursor& at) {
  auto& v = *this;
  auto& e = error;
  at = Cursor{Cursor::At::Row, {}, mark.id};
  std::size_t m = v.key ? v.key->components.size() : 0;
  if (mark.keyBytes.size() != m) {
    e = err::Error::driver(err::DriverError, 0, "a bookmark of another view");
    return false;
  }
  for (std::size_t i = 0; i < m; ++i) {
    KeyValue kv;
    if (!decodeKeyValue(v.key->components[i].kind, mark.keyBytes[i], kv)) {
      e = err::Error::driver(err::DriverError, 0, "a damaged bookmark");
      return false;
    }
    at.key.push_back(std::move(kv));
  }
  return true;
}

// From a key value: where it stands against the range the conditions fix
// decides between the whole view, nothing, or a seek.
bool OrderedView::Impl::readFrom(KeyValues values, int n, std::vector<ViewRow>& out) {
  auto& v = *this;
  for (std::size_t i = 0; i < v.fixedValues.size(); ++i) {
    int c = compare(values[i], v.fixedValues[i]);
    if (c < 0) return read(Cursor::start(), true, n, out);
    if (c > 0) {
      out.clear();
      v.error = v.setupError;
      return !v.error;
    }
  }
  return read(Cursor{Cursor::At::From, std::move(values), 0}, true, n, out);
}

bool OrderedView::first(int n, std::vector<ViewRow>& out) { return impl_->read(Cursor::start(), true, n, out); }

bool OrderedView::last(int n, std::vector<ViewRow>& out) { return impl_->read(Cursor::end(), false, n, out); }

bool OrderedView::after(const Bookmark& mark, int n, std::vector<ViewRow>& out) {
  Cursor at;
  if (!impl_->cursorOf(mark, at)) return false;
  return impl_->read(at, true, n, out);
}

bool OrderedView::before(const Bookmark& mark, int n, std::vector<ViewRow>& out) {
  Cursor at;
  if (!impl_->cursorOf(mark, at)) return false;
  return impl_->read(at, false, n, out);
}

bool OrderedView::from(const RecordBuffer& from, int n, std::vector<ViewRow>& out) {
  auto& v = *impl_;
  if (!v.key) return first(n, out);
  if (from.def().id != v.file->def().id) {
    v.error = err::Error::driver(err::DriverError, 0, "a record of another file");
    return false;
  }
  return v.readFrom(keyValuesOf(*v.key, from), n, out);
}

bool OrderedView::fromText(std::string_view leadingText, int n, std::vector<ViewRow>& out) {
  auto& v = *impl_;
  if (!v.key) return first(n, out);
  // The leading component a user can type is the first one the conditions
  // leave open; the components after it start at their lowest value.
  std::size_t j = v.fixedValues.size();
  const auto& comps = v.key->components;
  if (j >= comps.size()) return first(n, out);
  KeyValue typed;
  if (!keyValueFromText(v.file->def().fields[comps[j].field], comps[j].kind, leadingText, typed))
    return first(n, out);
  KeyValues values = v.fixedValues;
  values.push_back(std::move(typed));
  for (std::size_t i = j + 1; i < comps.size(); ++i) values.push_back(lowest(comps[i].kind));
  return v.readFrom(std::move(values), n, out);
}

std::int64_t OrderedView::count() {
  auto& v = *impl_;
  if (v.setupError) {
    v.error = v.setupError;
    return 0;
  }
  auto* s = v.file->impl();
  if (!s->db) {
    v.error = err::Error::of(err::FileNotOpen);
    return 0;
  }
  std::int64_t n = 0;
  v.error = countRows(s->handle(), s->stmts, s->schema, v.key, v.filter, n);
  return n;
}

Bookmark OrderedView::markOf(const RecordBuffer& record, Position pos) const {
  Bookmark mark;
  mark.id = pos.id;
  if (impl_->key)
    for (const auto& k : keyValuesOf(*impl_->key, record)) mark.keyBytes.push_back(encodeKeyValue(k));
  return mark;
}

}  // namespace tdx
