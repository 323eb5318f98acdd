#pragma once
// A browse list over the semicolon-separated offers file, in file order.
//
// Only the visible page is held: each row is a line of the file with the
// byte offset where it starts, so moving past the page's edge reads just
// the lines that scroll in, forwards from the last row or backwards from
// the first (the reader finds where the line before starts), and the end
// of the file is reached without reading what lies before it. The thumb
// stands for the byte offset of the highlighted line; dragging it reads the
// page at that place of the file. Memory does not grow with the file.
//
// The file's fields are texts; a column shows its field through its picture,
// a numeric picture showing the number the text reads as (number reading of
// the semicolon file: "12,5" and "12.5" alike, junk as far as it reads).

#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "exchange/csv_reader.h"
#include "records/errors.h"
#include "runtime/browse.h"

namespace tdx::reports {

struct CsvColumn {
  rt::BrowseColumn look;
  std::string picture;  // "@n15`4b", "@s6"
  int field = -1;       // index of the line's field; -1 for a blank column
  bool numeric = false;
};

class CsvBrowse : public rt::BrowseList {
 public:
  struct Line {
    std::uint64_t offset = 0;  // where it starts in the file
    std::uint64_t next = 0;    // where the line after it starts
    std::vector<std::string> fields;
    std::vector<std::string> cells;
  };

  CsvBrowse(csv::Reader& reader, std::vector<CsvColumn> columns, int pageSize = 20);

  // --- BrowseList
  const std::vector<rt::BrowseColumn>& columns() const override { return looks_; }
  const std::vector<rt::RowStyle>& styles() const override { return styles_; }
  void setPageSize(int rows) override;
  int pageSize() const override { return pageSize_; }
  int rows() const override { return int(page_.size()); }
  std::string cell(int row, int column) const override;
  int styleOf(int) const override { return -1; }
  int current() const override { return page_.empty() ? -1 : cur_; }
  void select(int row) override;
  void up() override;
  void down() override;
  void pageUp() override;
  void pageDown() override;
  void home() override;
  void end() override;
  void scrollBy(int rows) override;
  int thumb() const override;
  void dragThumb(int position) override;

  // --- What the procedure does with the list
  // Reads the first page again.
  bool reload();
  const Line* currentLine() const { return page_.empty() ? nullptr : &page_[std::size_t(cur_)]; }
  // The highlighted line read again from the file at its offset.
  bool reread(std::vector<std::string>& fields);

  // The highlight moved to another line (nullptr: the list is empty).
  std::function<void(const Line*)> onCurrent;
  // A line could not be read (other than at the end of the file).
  std::function<void(const err::Error&)> onError;

 private:
  // The line starting at `offset`; false at the end of the file or on an
  // error (`failed` tells which).
  bool readAt(std::uint64_t offset, Line& out);
  // The line before the one starting at `offset`.
  bool readBefore(std::uint64_t offset, Line& out);
  bool more(bool forward, Line& out);
  // Lines from `offset` onwards until the page is full; from the end of the
  // file backwards when too few follow.
  void fillFrom(std::uint64_t offset);
  void fillToEnd();
  void format(Line& line) const;
  void changed(std::uint64_t currentBefore, bool hadCurrent);
  bool shift(bool forward, int n);
  std::uint64_t currentOffset() const { return page_.empty() ? 0 : page_[std::size_t(cur_)].offset; }

  csv::Reader* reader_;
  std::vector<CsvColumn> spec_;
  std::vector<rt::BrowseColumn> looks_;
  std::vector<rt::RowStyle> styles_;
  std::deque<Line> page_;
  int cur_ = 0;
  int pageSize_;
  bool failed_ = false;
};

}  // namespace tdx::reports
