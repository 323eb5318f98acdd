#pragma once
// The scroll thumb of a list over an ordered view: 100 values of the
// view's leading open key component, spread evenly between its first and
// its last value. Dragging the thumb to p locates the list at value p;
// the thumb of the highlighted row stands at the first value not below it.
//
// Numbers interpolate as numbers. Texts cannot be interpolated as bytes
// (Windows-1250 puts Č, Š and Ž far from C, S and Z), so a text is read as
// a number in the base of a 42-symbol alphabet in collation order (blank,
// the digits, A B C Č Ć D Đ E ... S Š T ... Z Ž) over ten characters after
// the beginning that the first and the last value share; any other character counts as the last symbol that does not
// sort after it (Ä as A, a hyphen as blank). The step values are turned
// back into texts of that alphabet, which sort in the same order, so the
// locator finds between the first and the last name what the table
// promises, whatever letters the names use.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

namespace tdx::rt {

class ThumbTable {
 public:
  static constexpr int kSteps = 100;

  // Built from the first and the last value of the view.
  static ThumbTable ofNumbers(std::int64_t first, std::int64_t last);
  static ThumbTable ofTexts(std::string_view first, std::string_view last);
  ThumbTable() = default;

  bool empty() const { return !built_; }
  bool texts() const { return texts_; }
  // Step p, 1 to 100 (Windows-1250 bytes for texts).
  std::int64_t number(int p) const { return numbers_[std::size_t(p - 1)]; }
  const std::string& text(int p) const { return texts_ ? strings_[std::size_t(p - 1)] : none_; }

  // The thumb position of a value: the first step not below it, 0 when
  // that is the first step, 100 when the value is above them all.
  int positionOf(std::int64_t value) const;
  int positionOf(std::string_view text) const;

 private:
  bool built_ = false;
  bool texts_ = false;
  std::array<std::int64_t, kSteps> numbers_{};
  std::array<std::string, kSteps> strings_{};
  std::string prefix_;  // the symbols the first and the last value share
  std::string none_;
};

}  // namespace tdx::rt
