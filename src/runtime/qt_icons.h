#pragma once
// Icons and pictures of the windows: the named file from the working
// folder when it is there (found without regard to case, as the names are
// written in several ways: "PREKLICC.ICO", "Preklicc.ico"), else a
// built-in drawing of our own, so that no window shows an empty button.

#include <QIcon>
#include <QPixmap>
#include <filesystem>
#include <string_view>

namespace tdx::rt {

QIcon iconFor(std::string_view name, const std::filesystem::path& folder);
// A picture control's image (a .jpg, .png, .ico) at the given size.
QPixmap pictureFor(std::string_view name, const std::filesystem::path& folder, QSize size);
// The drawing used when the file is missing; a generic sheet for names we
// have no drawing of.
QPixmap builtInPicture(std::string_view name, int side);

}  // namespace tdx::rt
