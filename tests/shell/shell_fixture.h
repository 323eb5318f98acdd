#pragma once
// A working folder with a small tender, the headless runtime and a program
// holding the shell's procedures, for the tests of the frame and its
// windows.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "records/cp1250.h"
#include "records/layouts.h"
#include "records/store.h"
#include "runtime/context.h"
#include "runtime/headless_ui.h"
#include "runtime/procedure.h"
#include "shell/register.h"
#include "support/temp_folder.h"

namespace tdx::shell::test {

using tdx::test::TempFolder;

// Adds records to a record file of a folder, creating it when missing.
class Records {
 public:
  Records(FileId id, const std::filesystem::path& folder) : file_(fileDef(id), folder), buf_(id) {
    if (!recordFileExists(fileDef(id), folder)) EXPECT_TRUE(file_.create(fileDef(id).ownerPassword));
    // The sealed buyer file is written only by its exclusive owner.
    OpenMode mode = fileDef(id).ownerPassword.empty() ? OpenMode::shared() : OpenMode::exclusive();
    if (!file_.isOpen()) {
      EXPECT_TRUE(file_.open(mode, fileDef(id).ownerPassword)) << file_.error().describe();
    }
  }
  template <class T>
  T& next() {
    buf_.clear();
    return buf_.as<T>();
  }
  void add() { EXPECT_TRUE(file_.add(buf_)) << file_.error().describe(); }
  RecordFile& file() { return file_; }

 private:
  RecordFile file_;
  RecordBuffer buf_;
};

inline std::string cp(std::string_view utf8) { return cp1250::fromUtf8(utf8).value(); }

class ShellTest : public ::testing::Test {
 protected:
  TempFolder dir{"shell"};
  rt::HeadlessUi ui;
  rt::Session session{ui, dir.path()};
  rt::Program program{session};
  rt::HeadlessWindowHost& host = ui.windowHost();

  ShellTest() {
    session.setProgram(&program);
    registerProcedures(program);
  }

  void addItem(std::int16_t group, std::string_view taxNumber, std::int32_t code = 1) {
    Records r(FileId::Podatki, dir.path());
    auto& p = r.next<Podatki>();
    p.skup = group;
    p.posk = 1;
    p.sifr = code;
    p.nazi.set(cp("Paracetamol 500 mg"));
    p.doba.set(taxNumber);
    r.add();
  }
  void addApplicant(std::string_view tax, std::string_view utf8Name) {
    Records r(FileId::Verant, dir.path());
    auto& v = r.next<Verant>();
    v.davcna.set(tax);
    v.naziv.set(cp(utf8Name));
    r.add();
  }
  void addBidder(std::string_view utf8Name) {
    Records r(FileId::Ponudnik, dir.path());
    auto& b = r.next<Ponudnik>();
    b.naziv.set(cp(utf8Name));
    b.naslov.set(cp("Cesta 1"));
    b.posta.set(cp("1000 Ljubljana"));
    b.davcna.set("12345678");
    r.add();
  }
  void addBuyer(std::string_view line1, std::string_view line2) {
    Records r(FileId::Kupec, dir.path());
    auto& k = r.next<Kupec>();
    k.naz01.set(cp(line1));
    k.naz02.set(cp(line2));
    r.add();
  }
  std::vector<std::string> files() const {
    std::vector<std::string> out;
    for (const auto& e : std::filesystem::directory_iterator(dir.path())) out.push_back(e.path().filename().string());
    std::sort(out.begin(), out.end());
    return out;
  }
  const std::vector<std::string>& lines() const { return ui.transcript(); }
};

}  // namespace tdx::shell::test
