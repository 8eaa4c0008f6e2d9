// Encrypt and Decrypt: a text enciphered with a password, in the format
// stored texts use. The key is RC4 with 40 bits: the first 5 bytes of the
// MD5 digest of the password's UTF-16LE bytes, followed by 11 zero bytes,
// 16 bytes in all. The cipher runs over the text's UTF-16LE bytes, and the
// bytes it gives are read back as UTF-16LE units, so a text of n units
// stays n units long.
//
// RC4 is its own inverse: both functions are the same operation. Strings
// carry their length, so an enciphered text may hold zero units and still
// deciphers whole. Nothing here can fail, so the empty string and null,
// the failure results of both, never arise.
#include "system/files/byte_text.h"
#include "system/natives.h"

#include "engine/vm/interpreter.h"

#include <nettle/arcfour.h>
#include <nettle/md5.h>

#include <algorithm>
#include <array>
#include <string>
#include <vector>

namespace vellum::system {

namespace {

constexpr size_t kKeyBytes = 5;
constexpr size_t kSaltedKeyBytes = 16;

std::u16string PasswordCipher(std::u16string_view text, std::u16string_view password)
{
    const std::vector<uint8_t> secret = EncodeUtf16Le(password);
    md5_ctx hash;
    md5_init(&hash);
    md5_update(&hash, secret.size(), secret.data());
    std::array<uint8_t, MD5_DIGEST_SIZE> digest{};
    md5_digest(&hash, digest.size(), digest.data());

    std::array<uint8_t, kSaltedKeyBytes> key{};
    std::copy_n(digest.begin(), kKeyBytes, key.begin());
    arcfour_ctx cipher;
    arcfour_set_key(&cipher, key.size(), key.data());

    // Both lengths are even, so every unit gets both of its bytes back.
    std::vector<uint8_t> bytes = EncodeUtf16Le(text);
    arcfour_crypt(&cipher, bytes.size(), bytes.data(), bytes.data());
    return DecodeUtf16Le(bytes, TextEnd::atLastByte);
}

uint32_t CipherNative(Interpreter& ip)
{
    if (!ip.CheckArgs(2, -1)) return 0;
    const std::u16string text(ip.ArgText(1)->View());
    const std::u16string password(ip.ArgText(2)->View());
    ip.PushString(PasswordCipher(text, password));
    return 1;
}

} // namespace

uint32_t Encrypt(Interpreter& ip) { return CipherNative(ip); }

uint32_t Decrypt(Interpreter& ip) { return CipherNative(ip); }

} // namespace vellum::system
