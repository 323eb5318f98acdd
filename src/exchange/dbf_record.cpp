#include "exchange/dbf_record.h"

#include <stdexcept>

namespace tdx::dbf {

Record::Record(const Layout& layout) : layout_(&layout), numbers_(layout.columns.size()) {
  int offset = 0;
  for (const auto& c : layout.columns) {
    textOffset_.push_back(c.type == ColumnType::Character ? offset : -1);
    if (c.type == ColumnType::Character) offset += c.width;
  }
  text_.assign(std::size_t(offset), ' ');
}

int Record::column(std::string_view name) const {
  if (auto i = layout_->find(name)) return *i;
  throw std::logic_error(std::string(layout_->label) + " has no column " + std::string(name));
}

const Column& Record::checked(int col, ColumnType type) const {
  if (col < 0 || std::size_t(col) >= layout_->columns.size())
    throw std::logic_error(std::string(layout_->label) + " has no column " + std::to_string(col));
  const Column& c = layout_->columns[std::size_t(col)];
  if (c.type != type)
    throw std::logic_error(std::string(layout_->label) + "." + std::string(c.name) + " is not a " +
                           (type == ColumnType::Character ? "character" : "numeric") + " column");
  return c;
}

std::string_view Record::text(int col) const {
  const Column& c = checked(col, ColumnType::Character);
  return std::string_view(text_).substr(std::size_t(textOffset_[std::size_t(col)]), std::size_t(c.width));
}

void Record::setText(int col, std::string_view bytes) {
  const Column& c = checked(col, ColumnType::Character);
  auto width = std::size_t(c.width);
  auto n = bytes.size() < width ? bytes.size() : width;
  auto at = std::size_t(textOffset_[std::size_t(col)]);
  text_.replace(at, n, bytes.data(), n);
  text_.replace(at + n, width - n, width - n, ' ');
}

const Decimal& Record::number(int col) const {
  checked(col, ColumnType::Numeric);
  return numbers_[std::size_t(col)];
}

void Record::setNumber(int col, const Decimal& value) {
  checked(col, ColumnType::Numeric);
  numbers_[std::size_t(col)] = value;
}

void Record::setNumberFromDouble(int col, double value) {
  const Column& c = checked(col, ColumnType::Numeric);
  numbers_[std::size_t(col)] = Decimal::fromDouble(value, c.decimals);
}

void Record::clear() {
  text_.assign(text_.size(), ' ');
  for (auto& n : numbers_) n = Decimal();
  deleted_ = false;
}

}  // namespace tdx::dbf
