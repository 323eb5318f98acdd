#include "runtime/record_columns.h"

#include <stdexcept>

#include "records/cp1250.h"
#include "runtime/pictures.h"

namespace tdx::rt {

namespace {

bool isText(FieldType t) { return t == FieldType::String || t == FieldType::CString || t == FieldType::Memo; }

}  // namespace

int fieldIndex(const FileDef& def, std::string_view name) {
  int i = def.findField(name);
  if (i < 0) throw std::invalid_argument("no field " + std::string(name) + " in " + std::string(def.label));
  return i;
}

CellValue fieldValue(const RecordBuffer& record, int index) {
  const auto& f = record.def().fields[std::size_t(index)];
  if (isText(f.type)) return std::string(field::getText(record, f));
  if (f.type == FieldType::Decimal) return field::getDecimal(record, f);
  return Decimal(static_cast<long long>(field::getInt(record, f)));
}

RecordColumn RecordColumn::field(const FileDef& def, std::string_view name, std::string picture, BrowseColumn look) {
  int index = fieldIndex(def, name);
  return {std::move(look), std::move(picture), [index](const BrowseRow& row) { return fieldValue(row.record, index); }};
}

RecordColumn RecordColumn::joined(int join, const FileDef& def, std::string_view name, std::string picture,
                                  BrowseColumn look) {
  int index = fieldIndex(def, name);
  return {std::move(look), std::move(picture), [join, index](const BrowseRow& row) -> CellValue {
            const auto& rec = row.joined.at(std::size_t(join));
            return fieldValue(*rec, index);
          }};
}

RecordColumn RecordColumn::blank(std::string picture, BrowseColumn look) {
  bool number = pic::picture(picture).kind == pic::Kind::Number;
  return {std::move(look), std::move(picture),
          [number](const BrowseRow&) -> CellValue { return number ? CellValue(Decimal()) : CellValue(std::string()); }};
}

RecordColumn RecordColumn::computed(std::function<CellValue(const BrowseRow&)> value, std::string picture,
                                    BrowseColumn look) {
  return {std::move(look), std::move(picture), std::move(value)};
}

std::string formatCell(const std::string& picture, const CellValue& value) {
  const auto& p = pic::picture(picture);
  std::string text;
  if (const auto* d = std::get_if<Decimal>(&value)) {
    text = p.kind == pic::Kind::Text ? d->toExactString() : pic::format(p, *d);
  } else {
    const auto& bytes = std::get<std::string>(value);
    if (p.kind == pic::Kind::Text) {
      text = pic::format(p, cp1250::toUtf8(cp1250::trimRight(bytes)));
    } else {
      // A number kept as text (a code as digits): shown through the number
      // picture when it reads as one, else as it is.
      auto d = Decimal::parse(bytes);
      text = d ? pic::format(p, *d) : cp1250::toUtf8(bytes);
    }
  }
  std::size_t lead = text.find_first_not_of(' ');
  return lead == std::string::npos ? std::string() : text.substr(lead);
}

void formatCells(const std::vector<RecordColumn>& columns, BrowseRow& row) {
  row.cells.clear();
  row.cells.reserve(columns.size());
  for (const auto& c : columns) row.cells.push_back(formatCell(c.picture, c.value(row)));
}

}  // namespace tdx::rt
