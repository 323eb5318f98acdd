// Typed entries of any bytes read back through the pictures of the forms:
// a text entry takes only Windows-1250 text no longer than its picture, a
// number entry only a value its field holds; what was taken shows again as
// a text that reads back to the same value; never a crash.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "records/cp1250.h"
#include "records/fields.h"
#include "runtime/control_values.h"
#include "runtime/window.h"

using namespace tdx;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string typed(reinterpret_cast<const char*>(data), size);

  Str<50> name;
  name.clear();
  rt::ControlSpec text{"?NAME", rt::ControlKind::Entry};
  text.picture = "@s50";
  text.value = rt::bind(name);
  if (rt::storeTyped(text, typed)) {
    if (!cp1250::fromUtf8(typed)) std::abort();
    std::string shown = rt::shownText(text);
    if (!rt::storeTyped(text, shown) || rt::shownText(text) != shown) std::abort();
  }

  static const char* pictures[] = {"@n15`4~ €~B", "@N_7`2~ %~B", "@N_10`6~ %~B", "@n7.b", "@n08b", "@n10`2"};
  for (const char* p : pictures) {
    Dec<11, 4> price;
    price.set(Decimal(0));
    rt::ControlSpec number{"?PRICE", rt::ControlKind::Entry};
    number.picture = p;
    number.value = rt::bind(price);
    if (!rt::storeTyped(number, typed)) continue;
    Decimal stored = price.get();
    std::string shown = rt::shownText(number);
    // What shows reads back to a value that shows the same way.
    if (!rt::storeTyped(number, shown) || rt::shownText(number) != shown) std::abort();
    (void)stored;
  }
  return 0;
}
