#pragma once
// Drawing the page model with QPainter: on the preview, the printer or a
// PDF file. One drawing for all of them, so what the preview shows is what
// is printed.

#include <filesystem>
#include <string>

#include "runtime/report_page.h"

class QPainter;
class QPagedPaintDevice;

namespace tdx::report {

// Draws page `index` (from 0) with its top left corner at the painter's
// origin, millimetres converted with the device's resolution. Any
// transformation set on the painter (a preview's zoom) applies to it all.
void drawPage(QPainter& painter, const Document& doc, std::size_t index);

// The whole document on a paged device (QPdfWriter, QPrinter): the page
// size set to the document's (landscape A4), no margins, one device page
// per page. A printer prints only the page range chosen in its dialog.
// False and the reason in `error` when the device cannot be drawn on.
bool draw(const Document& doc, QPagedPaintDevice& device, std::string* error = nullptr);

// A PDF file of the document, texts selectable. False and the reason in
// `error` when the file cannot be written or there is nothing to write.
bool writePdf(const Document& doc, const std::filesystem::path& file, std::string* error = nullptr);

}  // namespace tdx::report
