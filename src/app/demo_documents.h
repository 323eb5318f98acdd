#pragma once
// The demo's documents: the buyer's requirements ("Specifikacija.pdf"), the
// user guide of this program ("navodila.pdf"), both laid out by the
// program's own report engine, and a harmless "copyzdr.bat" for the
// registry update (it only prints a line).

#include <filesystem>
#include <vector>

#include "app/demo_tender.h"

namespace tdx::app::demo {

std::vector<Written> writeDocuments(const DemoTender& t, const std::filesystem::path& folder);

// The paragraphs of the user guide, each a heading or a text; shared with
// the test that checks the guide describes the real menu.
struct GuideParagraph {
  bool heading = false;
  std::string text;
};
std::vector<GuideParagraph> userGuide();

}  // namespace tdx::app::demo
