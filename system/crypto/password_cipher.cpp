// Encrypt and Decrypt: a text enciphered with a password, in the format
// stored texts use. The key is RC4 with 40 bits: the first 5 bytes of the
// MD5 digest of the password's UTF-16LE bytes, followed by 11 zero bytes,
// 16 bytes in all. The cipher runs over the text's UTF-16LE bytes, and the
// bytes it gives are read back as UTF-16LE units, so a text of n units
// stays n units long.
//
// RC4 is its own inverse: both functions are the same operation. Strings
// carry their length, so an enciphered text may hold zero units and still
// deciphers whole. The cipher itself comes from the cipher module
// (rc4_cipher.h), loaded by the first call: without it the key cannot be
// prepared, and the result is null. Nothing else can fail, so the empty
// string, the other failure result of both, never arises.
#include "system/crypto/rc4_cipher.h"
#include "system/files/byte_text.h"
#include "system/natives.h"

#include "engine/vm/interpreter.h"
#include "platform/modules/loadable_module.h"

#include <string>
#include <vector>

namespace vellum::system {

namespace {

uint32_t CipherNative(Interpreter& ip)
{
    if (!ip.CheckArgs(2, -1)) return 0;
    static const auto* const module = platform::LoadModule<CipherModule>(kCipherModuleFile, kCipherModuleEntry);
    if (module == nullptr) {
        ip.PushValue(Value::Null());
        return 1;
    }
    // Both lengths are even, so every unit gets both of its bytes back.
    std::vector<uint8_t> bytes = EncodeUtf16Le(ip.ArgText(1)->Utf16());
    const std::vector<uint8_t> secret = EncodeUtf16Le(ip.ArgText(2)->Utf16());
    module->cipher(secret, bytes);
    ip.PushString(DecodeUtf16Le(bytes, TextEnd::atLastByte));
    return 1;
}

} // namespace

uint32_t Encrypt(Interpreter& ip) { return CipherNative(ip); }

uint32_t Decrypt(Interpreter& ip) { return CipherNative(ip); }

} // namespace vellum::system
