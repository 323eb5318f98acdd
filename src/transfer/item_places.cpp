#include "transfer/item_places.h"

#include "records/layouts.h"
#include "records/store.h"
#include "runtime/context.h"

namespace tdx::transfer {

bool ItemPlaces::load(rt::Context& ctx) {
  loaded_ = true;
  whole_ = false;
  error_.clear();
  bySifr_.clear();
  RecordFile& items = ctx.file(FileId::Podatki);
  RecordBuffer buf(FileId::Podatki);
  if (!items.setKey(Key::POD_KSIFR)) {
    error_ = items.error();
    return false;
  }
  while (items.next(buf)) {
    const Podatki& p = buf.as<Podatki>();
    bySifr_.try_emplace(p.sifr.get(), ItemPlace{p.skup.get(), p.posk.get(), p.sklop.get()});
  }
  if (items.error().code != err::EndOfFile) {
    error_ = items.error();
    return false;
  }
  whole_ = true;
  return true;
}

std::optional<ItemPlace> ItemPlaces::find(rt::Context& ctx, std::int32_t sifr) const {
  if (whole_) {
    auto it = bySifr_.find(sifr);
    if (it == bySifr_.end()) return std::nullopt;
    return it->second;
  }
  RecordBuffer& item = ctx.buf(FileId::Podatki);
  item.clear();
  item.as<Podatki>().sifr = sifr;
  if (!ctx.file(FileId::Podatki).get(Key::POD_KSIFR, item)) return std::nullopt;
  const auto& pod = item.as<Podatki>();
  return ItemPlace{pod.skup.get(), pod.posk.get(), pod.sklop.get()};
}

}  // namespace tdx::transfer
