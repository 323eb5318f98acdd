#include "runtime/stdfiles.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include "records/layouts.h"
#include "runtime/context.h"
#include "runtime/headless_ui.h"
#include "support/temp_folder.h"

namespace tdx::rt {
namespace {

class StandardFiles : public ::testing::Test {
 protected:
  test::TempFolder dir{"stdfiles"};
  HeadlessUi ui;
  Session session{ui, dir.path()};
  Context ctx{session};

  std::vector<std::string> lines() const { return ui.transcript(); }
};

TEST_F(StandardFiles, MissingFileThatMayBeCreatedBecomesEmptyWithoutAMessage) {
  useFile(ctx, FileId::Paralela);
  EXPECT_TRUE(ctx.file(FileId::Paralela).isOpen());
  EXPECT_EQ(ctx.file(FileId::Paralela).records(), 0);
  EXPECT_TRUE(lines().empty());
  EXPECT_TRUE(std::filesystem::exists(dir / "paralela.dat"));
  // A second use on the same context does not open again; the file closes
  // with the last use.
  useFile(ctx, FileId::Paralela);
  releaseFile(ctx, FileId::Paralela);
  EXPECT_TRUE(ctx.file(FileId::Paralela).isOpen());
  releaseFile(ctx, FileId::Paralela);
  EXPECT_FALSE(ctx.file(FileId::Paralela).isOpen());
}

TEST_F(StandardFiles, MissingBuyerFileEndsTheProgramWithTheCreationError) {
  EXPECT_THROW(useFile(ctx, FileId::Kupec), ProgramEnd);
  ASSERT_EQ(lines().size(), 2u);
  EXPECT_EQ(lines()[0],
            "File Creation Error: Error: (File Not Found (2)) creating kupec.dat.  Press OK to end this application.");
  EXPECT_EQ(lines()[1], "Halt: File Creation Error!");
  EXPECT_FALSE(std::filesystem::exists(dir / "kupec.dat"));
}

TEST_F(StandardFiles, FileThatIsNotOursIsInvalidAndLeftAsItWas) {
  const std::string garbage = "this is not a record file\n";
  test::writeFile(dir / "podatki.dat", garbage);
  EXPECT_THROW(useFile(ctx, FileId::Podatki), ProgramEnd);
  ASSERT_EQ(lines().size(), 2u);
  EXPECT_EQ(lines()[0],
            "Invalid File: Error: (Invalid Record Declaration (47)) accessing podatki.dat.  Press OK to end this "
            "application.");
  EXPECT_EQ(lines()[1], "Halt: Invalid File!");
  EXPECT_EQ(test::readFile(dir / "podatki.dat"), garbage);
}

void dropIndex(const std::filesystem::path& file, const char* index) {
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(file.c_str(), &db), SQLITE_OK);
  std::string sql = std::string("DROP INDEX \"") + index + "\"";
  ASSERT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
  sqlite3_close(db);
}

TEST_F(StandardFiles, InvalidKeyIsRebuiltOnYes) {
  ASSERT_TRUE(RecordFile(fileDef(FileId::Paralela), dir.path()).create());
  dropIndex(dir / "paralela.dat", "KSKLOP");
  ui.answer("Yes");
  useFile(ctx, FileId::Paralela);
  EXPECT_TRUE(ctx.file(FileId::Paralela).isOpen());
  ASSERT_EQ(lines().size(), 1u);
  EXPECT_EQ(lines()[0], "Invalid Key: paralela.dat key file is invalid.  Do you want to rebuild the key?");
  EXPECT_EQ(ui.messages()[0].icon, Icon::Question);
}

TEST_F(StandardFiles, InvalidKeyEndsTheProgramOnNo) {
  ASSERT_TRUE(RecordFile(fileDef(FileId::Paralela), dir.path()).create());
  dropIndex(dir / "paralela.dat", "KIDZDR");
  ui.answer("No");
  EXPECT_THROW(useFile(ctx, FileId::Paralela), ProgramEnd);
  EXPECT_EQ(lines().back(), "Halt: Invalid Key!");
}

TEST_F(StandardFiles, FileHeldExclusivelyElsewhereIsRetriedOnceThenTheProgramEnds) {
  Context other(session);
  openWithRecovery(other, FileId::Paralela, true, OpenMode::exclusive());
  ASSERT_TRUE(other.file(FileId::Paralela).isOpen());
  EXPECT_THROW(useFile(ctx, FileId::Paralela), ProgramEnd);
  ASSERT_EQ(lines().size(), 2u);
  EXPECT_EQ(lines()[0],
            "File Access Error: File (paralela.dat) could not be opened.  Error: File Is Already Locked (32).");
  EXPECT_EQ(lines()[1], "Halt: Disk Error");
}

struct TwoWindows : StandardFiles {
  Context other{session};
  void SetUp() override {
    useFile(ctx, FileId::Ponudnik);
    auto& p = ctx.rec<Ponudnik>(FileId::Ponudnik);
    p.naziv = "Prvi d.o.o.";
    ASSERT_TRUE(ctx.file(FileId::Ponudnik).add(ctx.buf(FileId::Ponudnik)));
    useFile(other, FileId::Ponudnik);
    for (Context* c : {&ctx, &other}) {
      ASSERT_TRUE(c->file(FileId::Ponudnik).setFileOrder());
      ASSERT_TRUE(c->file(FileId::Ponudnik).next(c->buf(FileId::Ponudnik)));
    }
  }
};

TEST_F(TwoWindows, SecondWriterFromAFormIsToldAndSeesTheFirstWritersVersion) {
  ctx.rec<Ponudnik>(FileId::Ponudnik).naziv = "Spremenil prvi";
  EXPECT_EQ(updateRecord(ctx, FileId::Ponudnik, true), 0);
  other.rec<Ponudnik>(FileId::Ponudnik).naziv = "Spremenil drugi";
  EXPECT_EQ(updateRecord(other, FileId::Ponudnik, true), 2);
  EXPECT_EQ(other.rec<Ponudnik>(FileId::Ponudnik).naziv.view(), "Spremenil prvi");
  ASSERT_EQ(lines().size(), 1u);
  EXPECT_EQ(lines()[0],
            "Record Was Not Updated: This record was changed by another station. Those changes will now be "
            "displayed. Use the Ditto Button or Ctrl+' to recall your changes.");
  // Change detection is armed again: writing what is now shown succeeds.
  other.rec<Ponudnik>(FileId::Ponudnik).naziv = "Spremenil drugi";
  EXPECT_EQ(updateRecord(other, FileId::Ponudnik, true), 0);
}

TEST_F(TwoWindows, OutsideAFormTheChangeIsReportedWithoutACause) {
  EXPECT_EQ(updateRecord(ctx, FileId::Ponudnik, false), 0);
  EXPECT_EQ(updateRecord(other, FileId::Ponudnik, false), 2);
  ASSERT_EQ(lines().size(), 1u);
  EXPECT_EQ(lines()[0], "Update Operation Error: This record was changed by another station.");
}

TEST_F(TwoWindows, DeleteRereadsAndDeletes) {
  EXPECT_EQ(deleteRecord(ctx, FileId::Ponudnik), 0);
  EXPECT_EQ(ctx.file(FileId::Ponudnik).records(), 0);
  // The other window's record is gone: its delete fails with the warning.
  EXPECT_EQ(deleteRecord(other, FileId::Ponudnik), 1);
  ASSERT_EQ(lines().size(), 1u);
  EXPECT_EQ(lines()[0],
            "Delete Operation Error: An error (Record Not Found (35)) was experienced when attempting to delete a "
            "record from the file ponudnik.");
}

TEST_F(StandardFiles, SavedErrorIsUsedOnceAndCleared) {
  saveError(ctx.g(), err::Error::of(err::AccessDenied));
  standardWarning(ctx, 14, err::Error{});
  standardWarning(ctx, 14, err::Error::of(err::DuplicateKey));
  ASSERT_EQ(lines().size(), 2u);
  EXPECT_EQ(lines()[0],
            "Record Insert Error: An error was experienced during the update of record.  Error: Access Denied (5).");
  EXPECT_EQ(lines()[1],
            "Record Insert Error: An error was experienced during the update of record.  Error: Creates Duplicate "
            "Key (40).");
}

TEST_F(StandardFiles, DriverErrorsShowTheDriversTextAndCode) {
  standardWarning(ctx, 35, err::Error::driver(err::FileSystem, 11, "database disk image is malformed  "), "podatki");
  EXPECT_EQ(lines()[0],
            "Record Retrieval Error: Error: (database disk image is malformed (11)) attempting to access a record "
            "from the podatki file.  Returning to previous window.");
  standardWarning(ctx, 35, err::Error::of(err::FileSystem), "");
  EXPECT_NE(lines()[1].find("from the  file."), std::string::npos);  // two blanks where no file is named
}

TEST_F(StandardFiles, QuestionsTakeTheirDefaultWithoutAnAnswer) {
  EXPECT_EQ(standardWarning(ctx, 16, err::Error{}), Answer::Cancel);
  ui.answer("No");
  EXPECT_EQ(standardWarning(ctx, 18, err::Error{}), Answer::No);
  EXPECT_EQ(standardWarning(ctx, 8, err::Error{}, "Korekcijski faktor za dogovorne cene", "2"), Answer::Ok);
  EXPECT_EQ(lines()[2],
            "Range Error: The value of Korekcijski faktor za dogovorne cene must be lower than 2.");
}

TEST_F(StandardFiles, DocumentThatCannotBeOpenedIsNamedWithTheReason) {
  openDocument(ctx, "navodila.pdf");
  ASSERT_EQ(lines().size(), 2u);
  EXPECT_EQ(lines()[0], "open: navodila.pdf");
  EXPECT_EQ(lines()[1], ": File not found | navodila.pdf");
  EXPECT_EQ(ui.messages()[0].text, "File not found\r\nnavodila.pdf");
  EXPECT_EQ(ui.messages()[0].icon, Icon::None);

  ui.clear();
  ui.onOpenDocument = [](const std::filesystem::path&) { return 26; };
  openDocument(ctx, "navodila.pdf");
  EXPECT_EQ(lines().size(), 1u);  // a code outside the table shows nothing
}

}  // namespace
}  // namespace tdx::rt
