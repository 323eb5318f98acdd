// What the store does with the files themselves: foreign, damaged and
// edited files, damaged keys, the sealed buyer file, creation, and what the
// sqlite3 shell sees.

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "records/cp1250.h"
#include "records/layouts.h"
#include "records/store.h"
#include "support/temp_folder.h"

namespace tdx {
namespace {

namespace fs = std::filesystem;

std::string cp(const char* utf8) { return *cp1250::fromUtf8(utf8); }

void rawExec(const fs::path& db, const std::string& sql) {
  sqlite3* h = nullptr;
  ASSERT_EQ(sqlite3_open(db.c_str(), &h), SQLITE_OK);
  char* msg = nullptr;
  EXPECT_EQ(sqlite3_exec(h, sql.c_str(), nullptr, nullptr, &msg), SQLITE_OK) << (msg ? msg : "") << "\n" << sql;
  sqlite3_free(msg);
  sqlite3_close(h);
}

// Output of a shell command, and whether it succeeded.
std::pair<bool, std::string> shell(const std::string& command) {
  std::string out;
  FILE* p = popen((command + " 2>&1").c_str(), "r");
  if (!p) return {false, out};
  char buf[512];
  while (std::size_t n = std::fread(buf, 1, sizeof buf, p)) out.append(buf, n);
  int status = pclose(p);
  return {status == 0, out};
}

bool haveSqliteShell() { return std::system("sqlite3 -version >/dev/null 2>&1") == 0; }

std::vector<std::string> filesIn(const fs::path& dir) {
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(dir)) names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

class StoreFiles : public ::testing::Test {
 protected:
  test::TempFolder dir{"store-files"};

  // A paralela.dat of ours with a few offers.
  void makeOffers(int n = 3) {
    RecordFile f(fileDef(FileId::Paralela), dir.path());
    ASSERT_TRUE(f.create()) << f.error().describe();
    ASSERT_TRUE(f.open());
    ASSERT_TRUE(f.stream());
    for (int i = 0; i < n; ++i) {
      RecordBuffer b(FileId::Paralela);
      b.clear();
      auto& p = b.as<Paralela>();
      p.skup = 1;
      p.sifr = i + 1;
      p.imezd = cp("Lekarna Čebelica");
      p.ean = "38300000" + std::to_string(10000 + i);
      p.idzdr = "A" + std::to_string(10000 + i);
      p.bcena = *Decimal::parse("12.3456");
      ASSERT_TRUE(f.add(b)) << f.error().describe();
    }
    ASSERT_TRUE(f.close());
  }
  fs::path offers() const { return dir / "paralela.dat"; }
  // Opens and reads every record; the first error, or 0.
  int openAndReadAll(RecordFile& f) {
    if (!f.open()) return f.error().code;
    RecordBuffer b(FileId::Paralela);
    f.setFileOrder();
    while (f.next(b)) {
    }
    if (f.error().code != err::EndOfFile) return f.error().code;
    for (const auto& k : f.def().keys) {
      f.setKey(k.id);
      while (f.previous(b)) {
      }
      if (f.error().code != err::EndOfFile) return f.error().code;
    }
    return 0;
  }
};

TEST_F(StoreFiles, MissingFilesAreNeverCreatedByOpen) {
  RecordFile f(fileDef(FileId::Paralela), dir.path());
  EXPECT_FALSE(f.open());
  EXPECT_EQ(f.error().code, err::FileNotFound);
  EXPECT_TRUE(filesIn(dir.path()).empty());
  RecordFile nowhere(fileDef(FileId::Paralela), dir / "missing");
  EXPECT_FALSE(nowhere.open());
  EXPECT_EQ(nowhere.error().code, err::PathNotFound);
  EXPECT_FALSE(recordFileExists(fileDef(FileId::Paralela), dir.path()));
}

TEST_F(StoreFiles, FilesThatAreNotOursAreRefusedAndLeftAsTheyWere) {
  makeOffers(200);
  const std::string good = test::readFile(offers());
  struct Case {
    const char* what;
    std::string bytes;
  };
  std::vector<Case> cases = {
      {"empty", ""},
      {"text", "PAR;SKUP;POSK\n1;2;3\n"},
      {"garbage after a database header", good.substr(0, 100) + std::string(8000, '\x5A')},
      {"truncated", good.substr(0, good.size() / 2)},
      {"cut inside the header", good.substr(0, 60)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    test::writeFile(offers(), c.bytes);
    RecordFile f(fileDef(FileId::Paralela), dir.path());
    int code = openAndReadAll(f);
    EXPECT_EQ(code, err::InvalidFile) << f.error().describe();
    f.close();
    EXPECT_EQ(test::readFile(offers()), c.bytes);
    EXPECT_EQ(filesIn(dir.path()), std::vector<std::string>{"paralela.dat"});
  }
}

TEST_F(StoreFiles, TablesThatDoNotMatchTheLayoutAreInvalid) {
  struct Case {
    const char* what;
    const char* sql;
  };
  const Case cases[] = {
      {"another table", "CREATE TABLE OTHER(a)"},
      {"columns missing", "CREATE TABLE PARALELA(_id INTEGER PRIMARY KEY, SKUP INTEGER)"},
      {"a column retyped",
       "CREATE TABLE \"PARALELA\"(\"_id\" INTEGER PRIMARY KEY AUTOINCREMENT, \"SKUP\" TEXT NOT NULL)"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    fs::remove(offers());
    rawExec(offers(), std::string(c.sql) + "; PRAGMA application_id=1413765169;");
    auto before = test::readFile(offers());
    RecordFile f(fileDef(FileId::Paralela), dir.path());
    EXPECT_FALSE(f.open());
    EXPECT_EQ(f.error().code, err::InvalidFile);
    EXPECT_EQ(test::readFile(offers()), before);
  }
  // The right table in a database that is not marked as a record file.
  makeOffers();
  rawExec(offers(), "PRAGMA application_id=7");
  RecordFile f(fileDef(FileId::Paralela), dir.path());
  EXPECT_FALSE(f.open());
  EXPECT_EQ(f.error().code, err::InvalidFile);
}

TEST_F(StoreFiles, WriteAheadLogDatabasesAreRefusedWithoutGrowingCompanions) {
  makeOffers();
  rawExec(offers(), "PRAGMA journal_mode=WAL");
  auto before = test::readFile(offers());
  RecordFile f(fileDef(FileId::Paralela), dir.path());
  EXPECT_FALSE(f.open());
  EXPECT_EQ(f.error().code, err::InvalidFile);
  EXPECT_EQ(test::readFile(offers()), before);
  EXPECT_EQ(filesIn(dir.path()), std::vector<std::string>{"paralela.dat"});
}

TEST_F(StoreFiles, DamageFoundWhileReadingIsAFileSystemErrorWithTheEnginesWords) {
  makeOffers(400);
  auto bytes = test::readFile(offers());
  // Overwrite a page in the middle of the table's tree.
  std::size_t page = 4096, at = (bytes.size() / page / 2) * page;
  for (std::size_t i = 0; i < 200; ++i) bytes[at + i] = char(0xA5);
  test::writeFile(offers(), bytes);
  RecordFile f(fileDef(FileId::Paralela), dir.path());
  int code = openAndReadAll(f);
  EXPECT_EQ(code, err::FileSystem) << f.error().describe();
  EXPECT_EQ(f.error().driverCode & 0xFF, SQLITE_CORRUPT) << f.error().describe();
  f.close();
  EXPECT_EQ(test::readFile(offers()), bytes);
}

TEST_F(StoreFiles, ValuesEditedToNotFitTheirFieldAreReportedNotCut) {
  makeOffers(1);
  struct Case {
    const char* what;
    const char* sql;
  };
  const Case cases[] = {
      {"a SHORT out of range", "UPDATE PARALELA SET SKUP=70000"},
      {"a DECIMAL with too many digits", "UPDATE PARALELA SET BCENA=100000000000"},
      {"a text too long", "UPDATE PARALELA SET IDZDR='1234567'"},
      {"a character outside Windows-1250", "UPDATE PARALELA SET IMEZD='水'"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    makeOffers(1);
    rawExec(offers(), c.sql);
    RecordFile f(fileDef(FileId::Paralela), dir.path());
    ASSERT_TRUE(f.open()) << f.error().describe();
    RecordBuffer b(FileId::Paralela);
    EXPECT_FALSE(f.setFileOrder() && f.next(b));
    EXPECT_EQ(f.error().code, err::FileSystem);
    EXPECT_NE(f.error().driverText.find("PAR:"), std::string::npos) << f.error().driverText;
  }
}

TEST_F(StoreFiles, TextsWithoutACharacterAreRefusedOnWrite) {
  makeOffers(1);
  RecordFile f(fileDef(FileId::Paralela), dir.path());
  ASSERT_TRUE(f.open());
  RecordBuffer b(FileId::Paralela);
  b.clear();
  b.as<Paralela>().imezd = std::string("ab\x81", 3);  // unassigned in Windows-1250
  EXPECT_FALSE(f.add(b));
  EXPECT_EQ(f.error().code, err::FileSystem);
  EXPECT_EQ(f.records(), 1);

  RecordFile d(fileDef(FileId::Opism), dir.path());
  ASSERT_TRUE(d.create() && d.open());
  RecordBuffer m(FileId::Opism);
  m.clear();
  m.as<Opism>().sifr = 7;
  m.memo() = std::string(kOpismMemoMax, 'x');
  ASSERT_TRUE(d.add(m)) << d.error().describe();
  m.memo() += "y";
  EXPECT_FALSE(d.add(m));
  EXPECT_EQ(d.error().code, err::FieldOverflow);
  RecordBuffer back(FileId::Opism);
  back.as<Opism>().sifr = 7;
  ASSERT_TRUE(d.get(Key::OMAT_KSIFRA, back));
  EXPECT_EQ(back.memo(), std::string(kOpismMemoMax, 'x'));
}

TEST_F(StoreFiles, DamagedKeysAreReportedAndRebuilt) {
  struct Case {
    const char* what;
    const char* sql;
  };
  const Case cases[] = {
      {"a key missing", "DROP INDEX KCRTNA"},
      {"a key declared otherwise", "DROP INDEX KCRTNA; CREATE INDEX KCRTNA ON PARALELA(EAN)"},
      {"a foreign index", "CREATE UNIQUE INDEX extra ON PARALELA(SIFR)"},
      {"keys of another collation", "PRAGMA user_version=5"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    makeOffers(5);
    rawExec(offers(), c.sql);
    RecordFile f(fileDef(FileId::Paralela), dir.path());
    EXPECT_FALSE(f.open());
    EXPECT_EQ(f.error().code, err::InvalidKey);
    ASSERT_TRUE(f.build()) << f.error().describe();
    ASSERT_TRUE(f.open()) << f.error().describe();
    RecordBuffer b(FileId::Paralela);
    ASSERT_TRUE(f.setKey(Key::PAR_KCRTNA));
    int n = 0;
    while (f.next(b)) ++n;
    EXPECT_EQ(n, 5);
  }
  // build() of a file someone else has open is refused.
  makeOffers(1);
  RecordFile holder(fileDef(FileId::Paralela), dir.path()), builder(fileDef(FileId::Paralela), dir.path());
  ASSERT_TRUE(holder.open());
  EXPECT_FALSE(builder.build());
  EXPECT_EQ(builder.error().code, err::FileLocked);
  // ... but an open file rebuilds its own keys, one or all.
  EXPECT_TRUE(holder.build(Key::PAR_KSKLOP)) << holder.error().describe();
  EXPECT_TRUE(holder.build()) << holder.error().describe();
}

TEST_F(StoreFiles, CreateReplacesTheFileWholeAndLeavesNothingElse) {
  makeOffers(10);
  RecordFile f(fileDef(FileId::Paralela), dir.path());
  ASSERT_TRUE(f.create());
  EXPECT_EQ(filesIn(dir.path()), std::vector<std::string>{"paralela.dat"});
  ASSERT_TRUE(f.open());
  EXPECT_EQ(f.records(), 0);
  f.close();
  // An existing file is found and replaced in whatever case it is named.
  fs::rename(offers(), dir / "PARALELA.DAT");
  EXPECT_TRUE(recordFileExists(fileDef(FileId::Paralela), dir.path()));
  ASSERT_TRUE(f.create());
  EXPECT_EQ(filesIn(dir.path()), std::vector<std::string>{"PARALELA.DAT"});
  ASSERT_TRUE(f.open());
  EXPECT_EQ(f.path().filename(), "PARALELA.DAT");
}

TEST_F(StoreFiles, BuyerFileOpensOnlyWithItsPassword) {
  const auto& def = fileDef(FileId::Kupec);
  {
    RecordFile f(def, dir.path());
    EXPECT_FALSE(f.create());
    EXPECT_EQ(f.error().code, err::InvalidPassword);
    ASSERT_TRUE(f.create(kKupecPassword)) << f.error().describe();
    RecordBuffer b(def);
    b.clear();
    // Every open holds its own copy of the sealed file: a shared one may
    // not change it, or two writers would undo each other at close.
    ASSERT_TRUE(f.open(OpenMode::shared(), kKupecPassword)) << f.error().describe();
    EXPECT_FALSE(f.add(b));
    EXPECT_EQ(f.error().code, err::AccessDenied);
    f.close();
    ASSERT_TRUE(f.open(OpenMode::exclusive(), kKupecPassword)) << f.error().describe();
    b.as<Kupec>().naz01 = cp("Splošna bolnišnica Celje");
    b.as<Kupec>().naz02 = cp("Zdravila 2027");
    ASSERT_TRUE(f.add(b)) << f.error().describe();
    ASSERT_TRUE(f.close()) << f.error().describe();
  }
  auto sealed = test::readFile(dir / "kupec.dat");
  EXPECT_EQ(sealed.find("Zdravila"), std::string::npos);
  EXPECT_EQ(filesIn(dir.path()), std::vector<std::string>{"kupec.dat"});

  for (const char* wrong : {"", "ktr597", "KTR596"}) {
    RecordFile f(def, dir.path());
    EXPECT_FALSE(f.open(OpenMode::shared(), wrong));
    EXPECT_EQ(f.error().code, err::InvalidPassword) << wrong;
  }
  RecordFile f(def, dir.path());
  ASSERT_TRUE(f.open(OpenMode::shared(), kKupecPassword)) << f.error().describe();
  RecordBuffer b(def);
  ASSERT_TRUE(f.setFileOrder() && f.next(b));
  EXPECT_EQ(b.as<Kupec>().naz01.utf8(), "Splošna bolnišnica Celje");
  f.close();
  EXPECT_EQ(test::readFile(dir / "kupec.dat"), sealed) << "reading does not rewrite the file";

  // Damage: in the sealed content, in the header, or cut short.
  struct Case {
    const char* what;
    std::size_t at;
  };
  for (const Case& c : {Case{"content", sealed.size() - 5}, Case{"magic", 2}}) {
    auto bad = sealed;
    bad[c.at] = char(bad[c.at] ^ 0x40);
    test::writeFile(dir / "kupec.dat", bad);
    RecordFile g(def, dir.path());
    EXPECT_FALSE(g.open(OpenMode::shared(), kKupecPassword));
    EXPECT_EQ(g.error().code, err::InvalidFile) << c.what;
  }
  test::writeFile(dir / "kupec.dat", sealed.substr(0, 50));
  RecordFile g(def, dir.path());
  EXPECT_FALSE(g.open(OpenMode::shared(), kKupecPassword));
  EXPECT_EQ(g.error().code, err::InvalidFile);
}

TEST_F(StoreFiles, TheShellReadsPlainFilesButNotTheBuyerFile) {
  if (!haveSqliteShell()) GTEST_SKIP() << "no sqlite3 shell";
  RecordFile items(fileDef(FileId::Podatki), dir.path());
  ASSERT_TRUE(items.create() && items.open());
  RecordBuffer b(FileId::Podatki);
  b.clear();
  b.as<Podatki>().sifr = 12345678;
  b.as<Podatki>().nazi = cp("Čaj iz kamilice");
  b.as<Podatki>().cena = *Decimal::parse("1.2345");
  ASSERT_TRUE(items.add(b));
  items.close();
  auto [ok, out] = shell("sqlite3 " + (dir / "podatki.dat").string() + " \"select SIFR, NAZI, CENA from PODATKI\"");
  EXPECT_TRUE(ok) << out;
  EXPECT_EQ(out, "12345678|Čaj iz kamilice|12345\n");

  RecordFile buyer(fileDef(FileId::Kupec), dir.path());
  ASSERT_TRUE(buyer.create(kKupecPassword));
  auto [sealedOk, sealedOut] = shell("sqlite3 " + (dir / "kupec.dat").string() + " .tables");
  EXPECT_FALSE(sealedOk && sealedOut.find("KUPEC") != std::string::npos) << sealedOut;
}

}  // namespace
}  // namespace tdx
