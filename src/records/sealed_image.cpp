#include "records/sealed_image.h"

#include <sodium.h>

#include <cstdint>
#include <cstring>

namespace tdx::store {

namespace {

constexpr char kMagic[8] = {'T', 'D', 'X', 'S', 'E', 'A', 'L', '1'};
constexpr std::size_t kSaltAt = 8, kOpsAt = 24, kMemAt = 32, kCheckAt = 40, kNonceAt = 56;
static_assert(kNonceAt + crypto_aead_xchacha20poly1305_ietf_NPUBBYTES == kSealHeaderSize);
static_assert(crypto_pwhash_SALTBYTES == 16);

// Opening must stay well under a tenth of a second; the password is built
// into the program, so the cost only slows down guessing, not a reader.
constexpr std::uint64_t kOpsLimit = 2;
constexpr std::uint64_t kMemLimit = 8u << 20;
// A file may ask for more than we write, but not for an unbounded amount
// of memory or time: beyond these it is not a file of ours.
constexpr std::uint64_t kMaxOpsLimit = 8;
constexpr std::uint64_t kMaxMemLimit = 64u << 20;

constexpr char kCheckContext[] = "tendrix sealed image key check";

void putU64(unsigned char* p, std::uint64_t v) {
  for (int i = 0; i < 8; ++i) p[i] = (unsigned char)(v >> (8 * i));
}
std::uint64_t getU64(const unsigned char* p) {
  std::uint64_t v = 0;
  for (int i = 7; i >= 0; --i) v = (v << 8) | p[i];
  return v;
}

struct Key {
  unsigned char bytes[crypto_aead_xchacha20poly1305_ietf_KEYBYTES];
  ~Key() { sodium_memzero(bytes, sizeof bytes); }
};

bool deriveKey(Key& key, std::string_view password, const unsigned char* salt, std::uint64_t ops,
               std::uint64_t mem) {
  return crypto_pwhash(key.bytes, sizeof key.bytes, password.data(), password.size(), salt, ops, std::size_t(mem),
                       crypto_pwhash_ALG_ARGON2ID13) == 0;
}

void keyCheck(const Key& key, unsigned char out[16]) {
  crypto_generichash(out, 16, reinterpret_cast<const unsigned char*>(kCheckContext), sizeof kCheckContext - 1,
                     key.bytes, sizeof key.bytes);
}

err::Error damaged(const char* why) {
  return err::Error::driver(err::InvalidFile, 0, std::string("sealed file: ") + why);
}

}  // namespace

err::Error sealImage(std::string_view image, std::string_view password, std::string& sealed) {
  if (sodium_init() < 0) return err::Error::driver(err::FileSystem, 0, "libsodium cannot start");
  if (password.empty()) return err::Error::of(err::InvalidPassword);
  std::string out(kSealHeaderSize + image.size() + crypto_aead_xchacha20poly1305_ietf_ABYTES, '\0');
  auto* h = reinterpret_cast<unsigned char*>(out.data());
  std::memcpy(h, kMagic, sizeof kMagic);
  randombytes_buf(h + kSaltAt, crypto_pwhash_SALTBYTES);
  putU64(h + kOpsAt, kOpsLimit);
  putU64(h + kMemAt, kMemLimit);
  randombytes_buf(h + kNonceAt, crypto_aead_xchacha20poly1305_ietf_NPUBBYTES);
  Key key;
  if (!deriveKey(key, password, h + kSaltAt, kOpsLimit, kMemLimit))
    return err::Error::driver(err::FileSystem, 0, "not enough memory to derive the key");
  keyCheck(key, h + kCheckAt);
  unsigned long long written = 0;
  crypto_aead_xchacha20poly1305_ietf_encrypt(h + kSealHeaderSize, &written,
                                             reinterpret_cast<const unsigned char*>(image.data()), image.size(), h,
                                             kSealHeaderSize, nullptr, h + kNonceAt, key.bytes);
  out.resize(kSealHeaderSize + std::size_t(written));
  sealed = std::move(out);
  return {};
}

err::Error unsealImage(std::string_view sealed, std::string_view password, std::string& image) {
  if (sodium_init() < 0) return err::Error::driver(err::FileSystem, 0, "libsodium cannot start");
  if (sealed.size() < kSealHeaderSize + crypto_aead_xchacha20poly1305_ietf_ABYTES)
    return damaged("too short");
  auto* h = reinterpret_cast<const unsigned char*>(sealed.data());
  if (std::memcmp(h, kMagic, sizeof kMagic) != 0) return damaged("no seal header");
  std::uint64_t ops = getU64(h + kOpsAt), mem = getU64(h + kMemAt);
  if (ops < crypto_pwhash_OPSLIMIT_MIN || ops > kMaxOpsLimit || mem < crypto_pwhash_MEMLIMIT_MIN ||
      mem > kMaxMemLimit)
    return damaged("key derivation limits out of range");
  if (password.empty()) return err::Error::of(err::InvalidPassword);
  Key key;
  if (!deriveKey(key, password, h + kSaltAt, ops, mem))
    return err::Error::driver(err::FileSystem, 0, "not enough memory to derive the key");
  unsigned char check[16];
  keyCheck(key, check);
  if (sodium_memcmp(check, h + kCheckAt, sizeof check) != 0) return err::Error::of(err::InvalidPassword);
  std::size_t cipherSize = sealed.size() - kSealHeaderSize;
  std::string out(cipherSize - crypto_aead_xchacha20poly1305_ietf_ABYTES, '\0');
  unsigned long long got = 0;
  if (crypto_aead_xchacha20poly1305_ietf_decrypt(reinterpret_cast<unsigned char*>(out.data()), &got, nullptr,
                                                 h + kSealHeaderSize, cipherSize, h, kSealHeaderSize,
                                                 h + kNonceAt, key.bytes) != 0)
    return damaged("content does not authenticate");
  out.resize(std::size_t(got));
  image = std::move(out);
  return {};
}

}  // namespace tdx::store
