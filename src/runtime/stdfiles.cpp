#include "runtime/stdfiles.h"

#include <algorithm>

#include "records/cp1250.h"
#include "runtime/context.h"
#include "runtime/ui.h"

namespace tdx::rt {

namespace {

std::string trimmed(std::string_view s) {
  return std::string(cp1250::trimRight(s));
}

std::string lower(std::string_view s) {
  std::string out(s);
  std::transform(out.begin(), out.end(), out.begin(),
                 [](unsigned char c) { return char(cp1250::lower(c)); });
  return out;
}

struct Warning {
  std::string caption;
  std::string text;
  Icon icon = Icon::Exclamation;
  std::vector<std::string> buttons{btn::Ok};
  int defaultButton = 0;
  const char* halt = nullptr;  // ends the program after the message
};

Warning compose(int number, const std::string& e, const std::string& t1, const std::string& t2,
                int code) {
  switch (number) {
    case 1:
      return {"Invalid File", "Error: (" + e + ") accessing " + t1 + ".  Press OK to end this application.",
              Icon::Exclamation, {btn::Ok}, 0, "Invalid File!"};
    case 2:
      return {"Invalid Key", t1 + " key file is invalid.  Do you want to rebuild the key?",
              Icon::Question, {btn::Yes, btn::No}, 0, nullptr};
    case 3:
      return {"Key Rebuild Error",
              "Error: (" + e + ") repairing key for " + t1 + ".  Press OK to end this application.",
              Icon::Exclamation, {btn::Ok}, 0, "Error Rebuilding Key!"};
    case 4:
      return {"File Creation Error", "Error: (" + e + ") creating " + t1 + ".  Press OK to end this application.",
              Icon::Exclamation, {btn::Ok}, 0, "File Creation Error!"};
    case 5:
      return {"File Creation Error",
              "Error: (" + e + ") opening created file:" + t1 + ".  Press OK to end this application.",
              Icon::Exclamation, {btn::Ok}, 0, "File Creation Error!"};
    case 8:
      return {"Range Error", "The value of " + t1 + " must be lower than " + t2 + "."};
    case 14:
      return {"Record Insert Error", "An error was experienced during the update of record.  Error: " + e + "."};
    case 15:
      if (code == err::None || code == err::ChangedByOther)
        return {"Update Operation Error", "This record was changed by another station."};
      return {"Update Operation Error", "An error (" + e +
                                            ") was experienced when attempting to update a record from the file.  "
                                            "Probable Cause: " + t1 + "."};
    case 16:
      return {"Record Update Error", "An error was experienced changing this record.  Do you want to try to save again?",
              Icon::Exclamation, {btn::Yes, btn::No, btn::Cancel}, 2, nullptr};
    case 17:
      return {"Delete Operation Error",
              "An error (" + e + ") was experienced when attempting to delete a record from the file " + t1 + "."};
    case 18:
      return {"Record Update Error", "An error was experienced deleting this record.  Do you want to try to save again?",
              Icon::Exclamation, {btn::Yes, btn::No, btn::Cancel}, 2, nullptr};
    case 30:
      return {"File Access Error", "File (" + t1 + ") could not be opened.  Error: " + e + "."};
    case 35:
      return {"Record Retrieval Error", "Error: (" + e + ") attempting to access a record from the " + t1 +
                                            " file.  Returning to previous window."};
    case 36:
      return {"View Open Error",
              "Error: (" + e + ") attempting to open the current VIEW. Filter and Range Limits ignored."};
    case 38:
      return {"Record Was Not Updated",
              "This record was changed by another station. Those changes will now be displayed. Use the Ditto "
              "Button or Ctrl+' to recall your changes."};
    default:
      return {"", "Standard warning " + std::to_string(number)};
  }
}

Answer answerOf(const std::vector<std::string>& buttons, int index) {
  if (index < 0 || index >= int(buttons.size())) return Answer::Cancel;
  const auto& b = buttons[index];
  if (b == btn::Yes) return Answer::Yes;
  if (b == btn::No) return Answer::No;
  if (b == btn::Cancel) return Answer::Cancel;
  return Answer::Ok;
}

bool openWith(RecordFile& f, OpenMode mode) {
  return f.open(mode, f.def().ownerPassword);
}

}  // namespace

std::string messageName(FileId id) { return lower(fileDef(id).diskName); }

std::string shortName(FileId id) { return lower(fileDef(id).label); }

std::string standardErrorText(const Globals& g, const err::Error& current) {
  const err::Error& e = g.savedError.code != err::None ? g.savedError : current;
  std::string text;
  if (e.code == err::FileSystem || e.code == err::DriverError)
    text = trimmed(e.driverText) + " (" + std::to_string(e.driverCode) + ")";
  else
    text = trimmed(e.text.empty() ? std::string(err::text(e.code)) : e.text) + " (" + std::to_string(e.code) + ")";
  if (text.size() > 150) text.resize(150);
  return text;
}

void saveError(Globals& g, const err::Error& e) { g.savedError = e; }

Answer standardWarning(Context& ctx, int number, const err::Error& current, std::string_view text1,
                       std::string_view text2) {
  auto& g = ctx.g();
  int code = g.savedError.code != err::None ? g.savedError.code : current.code;
  auto etext = standardErrorText(g, current);
  g.savedError.clear();
  auto w = compose(number, etext, trimmed(text1), trimmed(text2), code);
  Message m{w.caption, w.text, w.icon, w.buttons, w.defaultButton};
  auto pressed = answerOf(w.buttons, ctx.ui().message(m));
  if (w.halt) ctx.ui().haltBox(w.halt);
  if (number == 2 && pressed == Answer::No) ctx.ui().haltBox("Invalid Key!");
  return pressed;
}

void openWithRecovery(Context& ctx, FileId id, bool createAllowed, OpenMode mode) {
  auto& f = ctx.file(id);
  auto name = messageName(id);
  bool ok = openWith(f, mode);
  if (!ok && f.error().code == err::FileLocked) {
    f.send("Recover=5");
    ok = openWith(f, mode);
  }
  if (!ok) {
    switch (f.error().code) {
      case err::AlreadyOpen:
        return;
      case err::FileNotFound:
        if (!createAllowed) {
          standardWarning(ctx, 4, f.error(), name);
          return;
        }
        if (!f.create(f.def().ownerPassword)) {
          standardWarning(ctx, 4, f.error(), name);
          return;
        }
        if (!openWith(f, mode)) standardWarning(ctx, 5, f.error(), name);
        return;
      case err::InvalidFile:
        standardWarning(ctx, 1, f.error(), name);
        return;
      case err::InvalidKey:
        standardWarning(ctx, 2, f.error(), name);
        if (!f.build()) {
          standardWarning(ctx, 3, f.error(), name);
          return;
        }
        ok = openWith(f, mode);
        break;
      default:
        break;
    }
  }
  if (!ok && f.error().code != err::AlreadyOpen) {
    standardWarning(ctx, 30, f.error(), name);
    ctx.ui().haltBox("Disk Error");
  }
}

void useFile(Context& ctx, FileId id) {
  auto& n = ctx.uses(id);
  if (n == 0 && !ctx.file(id).isOpen()) openWithRecovery(ctx, id, fileDef(id).creatable);
  ++n;
}

void releaseFile(Context& ctx, FileId id) {
  auto& n = ctx.uses(id);
  if (n > 0 && --n == 0) ctx.file(id).close();
}

int updateRecord(Context& ctx, FileId id, bool fromForm) {
  auto& f = ctx.file(id);
  auto& buf = ctx.buf(id);
  if (f.put(buf)) return 0;
  auto e = f.error();
  saveError(ctx.g(), e);
  if (e.code == err::ChangedByOther) {
    if (fromForm) standardWarning(ctx, 38, e);
    else standardWarning(ctx, 15, e, "Record Changed by Another Station");
    // The store has re-read the other station's version into the buffer
    // and armed the change detection again.
    return 2;
  }
  standardWarning(ctx, 15, e, shortName(id));
  return 1;
}

int deleteRecord(Context& ctx, FileId id) {
  auto& f = ctx.file(id);
  auto& buf = ctx.buf(id);
  auto pos = f.position();
  if (f.reget(pos, buf) && f.erase()) return 0;
  auto e = f.error();
  saveError(ctx.g(), e);
  standardWarning(ctx, 17, e, shortName(id));
  return 1;
}

std::string documentErrorText(int code) {
  switch (code) {
    case 0: return "Out of memory or file is corrupt when running program";
    case 2: return "File not found";
    case 3: return "Path not found";
    case 5: return "Sharing violation";
    case 6: return "Data segment error";
    case 8: return "Not enough memory to run program";
    case 10: return "Incorrect Windows version";
    case 11: return "Invalid program file.  Non Windows or corrupt .exe file";
    case 12: return "Not a Windows program";
    case 13: return "MS-DOS 4.0 program";
    case 14: return "Unknown program type";
    case 15: return "Can not run a real mode program";
    case 16: return "This program is already running and can only have one instance running";
    case 19: return "This is a compressed program file";
    case 20: return "One or more run time libraries are missing or corrupt";
    case 21: return "This program requires 32bit extension for Windows";
    case 31: return "No program associated with this file";
    default: return "";
  }
}

void openDocument(Context& ctx, std::string_view name) {
  auto doc = trimmed(name);
  if (doc.size() > 255) doc.resize(255);
  ctx.g().documentToOpen = doc;
  int code = ctx.ui().openDocument(ctx.folder() / doc);
  if (code > 32) return;
  auto text = documentErrorText(code);
  if (text.empty()) return;
  ctx.ui().message(Message{"", text + "\r\n" + doc, Icon::None, {btn::Ok}, 0});
}

}  // namespace tdx::rt
