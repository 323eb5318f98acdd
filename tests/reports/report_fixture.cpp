#include "report_fixture.h"

#include <cmath>

#include "records/cp1250.h"
#include "records/store.h"
#include "reports/register.h"

namespace tdx::reports::test {

namespace {

template <class T>
RecordBuffer cleared(FileId id, const std::function<void(T&)>& fill) {
  RecordBuffer b(id);
  b.clear();
  fill(b.as<T>());
  return b;
}

std::string cp(std::string_view utf8) { return cp1250::fromUtf8(utf8).value(); }

std::string trimmed(const std::string& s) {
  const auto first = s.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  return s.substr(first, s.find_last_not_of(' ') - first + 1);
}

// Forwards to the report's task, calling the hook after every tick.
class Hooked : public rt::TimedTask {
 public:
  Hooked(std::shared_ptr<rt::TimedTask> task, std::function<void(int)> hook)
      : task_(std::move(task)), hook_(std::move(hook)) {}
  void opened(rt::ProgressWindow& w) override { task_->opened(w); }
  bool tick(rt::ProgressWindow& w) override {
    const bool more = task_->tick(w);
    if (hook_) hook_(++ticks_);
    return more;
  }
  void cancelled() override { task_->cancelled(); }
  void closed() override { task_->closed(); }

 private:
  std::shared_ptr<rt::TimedTask> task_;
  std::function<void(int)> hook_;
  int ticks_ = 0;
};

}  // namespace

Decimal D(const char* text) { return Decimal::parse(text).value(); }

RecordBuffer item(std::int16_t group, std::int16_t subgroup, std::int16_t lot, std::int32_t code,
                  std::string_view name, const std::function<void(Podatki&)>& more) {
  return cleared<Podatki>(FileId::Podatki, [&](Podatki& p) {
    p.skup = group;
    p.posk = subgroup;
    p.sklop = lot;
    p.sifr = code;
    p.nazi = cp(name);
    p.faob = cp("tableta");
    p.enme = cp("tableta");
    p.koli = Decimal(100);
    p.koliane = Decimal(200);
    if (more) more(p);
  });
}

RecordBuffer offer(std::int16_t group, std::int16_t subgroup, std::int16_t lot, std::int32_t code,
                   std::string_view registryCode, const char* grossPrice, const std::function<void(Paralela&)>& more) {
  return cleared<Paralela>(FileId::Paralela, [&](Paralela& p) {
    p.skup = group;
    p.posk = subgroup;
    p.sklop = lot;
    p.sifr = code;
    p.idzdr = cp(registryCode);
    p.imezd = cp("Zdravilo " + std::string(registryCode));
    p.proiz = cp("Krka d.d.");
    p.prpak = cp("škatla, 20 tablet");
    p.em = cp("tableta");
    p.bcena = D(grossPrice);
    p.ncena = D(grossPrice);
    p.pddv = D("9.5");
    p.pakiranje = 20;
    if (more) more(p);
  });
}

RecordBuffer description(std::int32_t code, std::string_view utf8) {
  RecordBuffer b(FileId::Opism);
  b.clear();
  b.as<Opism>().sifr = code;
  b.memo() = cp(utf8);
  return b;
}

void HookedUi::runProgress(std::shared_ptr<rt::TimedTask> task, const rt::ProgressSpec& spec, bool modal) {
  lastSpec = spec;
  lastModal = modal;
  HeadlessUi::runProgress(std::make_shared<Hooked>(std::move(task), afterTick), spec, modal);
}

ReportTest::ReportTest() {
  session.setProgram(&program);
  registerProcedures(program);
  ui.onPreview = [this](const report::Document& doc, std::string_view name) {
    shown = doc;
    shownName = std::string(name);
    ++previews;
  };
}

void ReportTest::store(FileId file, const std::vector<RecordBuffer>& records) {
  RecordFile f(fileDef(file), dir.path());
  ASSERT_TRUE(f.create(fileDef(file).ownerPassword)) << f.error().describe();
  ASSERT_TRUE(f.open(OpenMode::exclusive(), fileDef(file).ownerPassword)) << f.error().describe();
  ASSERT_TRUE(f.stream());
  for (RecordBuffer r : records) ASSERT_TRUE(f.add(r)) << f.error().describe();
  ASSERT_TRUE(f.close());
}

void ReportTest::parties(std::string_view bidderName, std::string_view buyer1) {
  store(FileId::Ponudnik, {cleared<Ponudnik>(FileId::Ponudnik, [&](Ponudnik& p) {
          p.naziv = cp(bidderName);
          p.naslov = cp("Savinjska cesta 1");
          p.posta = cp("3310 Žalec");
        })});
  store(FileId::Kupec, {cleared<Kupec>(FileId::Kupec, [&](Kupec& k) {
          k.naz01 = cp(buyer1);
          k.naz02 = cp("Oblakova ulica 5, Celje");
        })});
}

void ReportTest::groups() {
  store(FileId::Skupine, {cleared<Skupine>(FileId::Skupine, [](Skupine& s) {
          s.skup = 28;
          s.nazi = cp("Zdravila");
        })});
  store(FileId::Pskupine, {cleared<Pskupine>(FileId::Pskupine, [](Pskupine& s) {
                             s.skup = 28;
                             s.posk = 1;
                             s.nazi = cp("Splošni sklop");
                           }),
                           cleared<Pskupine>(FileId::Pskupine, [](Pskupine& s) {
                             s.skup = 28;
                             s.posk = 2;
                             s.nazi = cp("Citostatiki");
                           })});
}

void ReportTest::start(const std::string& procedure, std::int16_t group, std::int16_t subgroup) {
  ASSERT_TRUE(program.has(procedure));
  session.globals().psk = group;
  session.globals().pps = subgroup;
  EXPECT_EQ(program.start(procedure), 0u) << procedure << " still running after start";
}

std::vector<std::string> ReportTest::texts() const {
  std::vector<std::string> out;
  if (!shown) return out;
  for (const auto& page : shown->pages)
    for (const auto& item : page.items)
      if (auto* t = std::get_if<report::TextItem>(&item)) out.push_back(trimmed(t->text));
  return out;
}

Row ReportTest::rowOf(const std::string& text) const {
  Row row;
  if (!shown) return row;
  for (const auto& page : shown->pages) {
    const report::TextItem* found = nullptr;
    for (const auto& item : page.items)
      if (auto* t = std::get_if<report::TextItem>(&item); t && trimmed(t->text) == text) {
        found = t;
        break;
      }
    if (!found) continue;
    for (const auto& item : page.items)
      if (auto* t = std::get_if<report::TextItem>(&item); t && std::abs(t->box.y - found->box.y) < 0.05)
        row[static_cast<int>(std::lround(t->box.x - 5))] = trimmed(t->text);
    return row;
  }
  return row;
}

int ReportTest::count(const std::string& text) const {
  int n = 0;
  for (const auto& t : texts()) n += t == text;
  return n;
}

}  // namespace tdx::reports::test
