#pragma once
// The imports that replace all offers: uvparaladd (from "PARALDBF.DBF") and
// uvcsvparaladd (from the semicolon file). Both warn, take the offers file
// exclusively or refuse, set it aside as the newest backup, start an empty
// one and a new change log, add one offer per row and close with the count
// of offers the offers file now holds. The source and how a row becomes an
// offer are each import's own.

#include <cstdint>
#include <string>

#include "records/catalogue.h"
#include "runtime/batch_procedure.h"
#include "transfer/change_log.h"
#include "transfer/medicine_index.h"
#include "transfer/new_offers_file.h"

namespace tdx::transfer {

class ReplacingImport : public rt::BatchProcedure {
 public:
  struct Texts {
    std::string name;            // "uvparaladd": the window position
    std::string warning;         // "Datoteka paralela.dat bo izbrisana! ..."
    bool opensLogCopy = false;   // opens "log.xls" at the end
  };

  ReplacingImport(rt::Context& ctx, const rt::Options& options, Texts texts);

  void begin() override;

 protected:
  // The run as both imports share it; the import adds its source file.
  rt::BatchRunDef baseDefinition();
  ChangeLog& log() { return log_; }
  // The registry's medicine of a working code (nullptr: none).
  const Zdravnet* medicine(std::string_view idzdr);
  // Adds the context's offer record to the new offers file; a failure goes
  // to the stop box with `row` naming the row.
  void addOffer(std::string_view row);

 private:
  void prepare(rt::BatchRun& run) override;
  void finish(rt::BatchRun& run) override;
  void closingSteps(std::int64_t rows);

  Texts texts_;
  ChangeLog log_;
  NewOffersFile newOffers_;
  MedicineIndex registry_;
};

}  // namespace tdx::transfer
