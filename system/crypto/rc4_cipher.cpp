// The cipher module: MD5 and RC4 from nettle.
#include "system/crypto/rc4_cipher.h"

#include "platform/modules/loadable_module.h"

#include <nettle/arcfour.h>
#include <nettle/md5.h>

#include <algorithm>
#include <array>

namespace vellum::system {

namespace {

constexpr size_t kKeyBytes = 5;
constexpr size_t kSaltedKeyBytes = 16;

void Rc4WithMd5Key(std::span<const uint8_t> secret, std::span<uint8_t> bytes)
{
    md5_ctx hash;
    md5_init(&hash);
    md5_update(&hash, secret.size(), secret.data());
    std::array<uint8_t, MD5_DIGEST_SIZE> digest{};
    md5_digest(&hash, digest.size(), digest.data());

    std::array<uint8_t, kSaltedKeyBytes> key{};
    std::copy_n(digest.begin(), kKeyBytes, key.begin());
    arcfour_ctx cipher;
    arcfour_set_key(&cipher, key.size(), key.data());
    arcfour_crypt(&cipher, bytes.size(), bytes.data(), bytes.data());
}

constexpr CipherModule kModule{Rc4WithMd5Key};

} // namespace

} // namespace vellum::system

VELLUM_MODULE_ENTRY(vellum_cipher_module)
{
    return &vellum::system::kModule;
}
