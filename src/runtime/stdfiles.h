#pragma once
// The standard file handling every procedure shares: opening a record file
// with recovery, the numbered standard warnings (English, as stored), saving
// an error for a later message, writing and deleting a record under
// concurrent use, and opening a document with its associated program.

#include <string>
#include <string_view>

#include "records/catalogue.h"
#include "records/errors.h"
#include "records/store.h"

namespace tdx::rt {

class Context;
struct Globals;

// Buttons a standard warning returns.
enum class Answer { Ok, Yes, No, Cancel };

// Opens the context's file with recovery: a locked file is retried once; a
// missing file is created empty when allowed; an invalid key is offered for
// rebuilding; every other failure ends the program with the standard
// warnings and the halt box (ProgramEnd is thrown).
void openWithRecovery(Context& ctx, FileId id, bool createAllowed,
                      OpenMode mode = OpenMode::shared());

// How procedures take a file: open it with recovery unless this context
// holds it already (creation as the catalogue allows), and count the use.
void useFile(Context& ctx, FileId id);
// Give the use back; the file closes when the count returns to 0.
void releaseFile(Context& ctx, FileId id);

// Holds a use of a file for a scope.
class FileUse {
 public:
  FileUse(Context& ctx, FileId id) : ctx_(&ctx), id_(id) { useFile(ctx, id); }
  ~FileUse() { if (ctx_) releaseFile(*ctx_, id_); }
  FileUse(const FileUse&) = delete;
  FileUse& operator=(const FileUse&) = delete;

 private:
  Context* ctx_;
  FileId id_;
};

// The name of a file as the messages write it: "podatki.dat"; without the
// extension ("podatki") where a message names the file so.
std::string messageName(FileId id);
std::string shortName(FileId id);

// The error text of the standard warnings: from the saved error when one is
// kept, else from `current`; for codes 90 and 100 the driver's text and code.
std::string standardErrorText(const Globals& g, const err::Error& current);
void saveError(Globals& g, const err::Error& e);

// Shows standard warning `number` (1-5, 8, 14-18, 30, 35, 36, 38). Warnings
// 1 to 5 end the program (ProgramEnd), as does No to warning 2. Clears the
// saved error.
Answer standardWarning(Context& ctx, int number, const err::Error& current,
                       std::string_view text1 = {}, std::string_view text2 = {});

// Writes the context's record buffer over the current record of the file.
// 0 written, 1 failed (warning 15 shown), 2 changed by another station (the
// buffer now holds the other version; warning 38 from a form, else 15).
int updateRecord(Context& ctx, FileId id, bool fromForm);
// Deletes the current record (re-read first). 0 deleted, 1 failed (warning 17).
int deleteRecord(Context& ctx, FileId id);

// Opens a document of the working folder with its associated program; a
// failure the platform reports is shown with its text and the name.
void openDocument(Context& ctx, std::string_view name);
// The text of a platform failure code (blank for codes not in the table).
std::string documentErrorText(int code);

}  // namespace tdx::rt
