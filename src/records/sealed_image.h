#pragma once
// A database image sealed under a password, as the encrypted record file
// keeps it on disk:
//
//   "TDXSEAL1"           8 bytes, the magic
//   salt                16 bytes, for Argon2id
//   opslimit, memlimit   8 bytes each, little-endian, Argon2id's cost
//   key check           16 bytes, a keyed hash that tells a wrong password
//                        from a damaged file
//   nonce               24 bytes
//   ciphertext          the image sealed with XChaCha20-Poly1305, the
//                        header above as associated data
//
// Nothing of the image is readable without the password, so no database
// tool recognises the file.

#include <string>
#include <string_view>

#include "records/errors.h"

namespace tdx::store {

inline constexpr std::size_t kSealHeaderSize = 8 + 16 + 8 + 8 + 16 + 24;

// Seals an image under a password (fresh salt and nonce every time).
err::Error sealImage(std::string_view image, std::string_view password, std::string& sealed);
// Opens a sealed image: 91 when the password is wrong or missing, 47 when
// the bytes are not a sealed image or were damaged.
err::Error unsealImage(std::string_view sealed, std::string_view password, std::string& image);

}  // namespace tdx::store
