// The device's registry as a registry export file (.reg), read-only.
//
// The device folder may hold "\registry.reg", written in the handheld's
// export format, with the facts scripts read from the registry: the
// installed applications, the shell's shortcut ids, the browser, the
// dialer. The format:
//
//   REGEDIT4                                   (or "Windows Registry Editor Version 5.00")
//   ; a comment
//   [HKEY_LOCAL_MACHINE\SOFTWARE\Apps\Notes]
//   @="the key's default value"
//   "InstallDir"="\\Program Files\\Notes"
//   "Count"=dword:0000001f
//   "Data"=hex:01,02,ff
//   "Path"=hex(2):5c,00,41,00,00,00            (expandable string)
//
// Key and value names are compared without regard to case; a later section
// for the same key adds to it, and "[-KEY]" and "NAME"=- remove what was
// read before. Subkeys keep the order in which the file first names them.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vellum::system {

class RegistryFile {
public:
    struct RegistryValue {
        enum class Kind { String, ExpandString, MultiString, Dword, Binary };
        Kind kind = Kind::String;
        std::u16string text;        // String, ExpandString, MultiString (zero units between the parts)
        uint32_t number = 0;        // Dword
        std::vector<uint8_t> bytes; // Binary and every other hex(N) type
    };

    RegistryFile();
    ~RegistryFile();
    RegistryFile(RegistryFile&&) noexcept;
    RegistryFile& operator=(RegistryFile&&) noexcept;

    // The registry an export text describes; empty when the text does not
    // start with one of the two headers. Lines that cannot be read are
    // skipped, as the handheld's importer skips them.
    static RegistryFile Parse(std::u16string_view text);
    // Parse of a file's bytes: UTF-16LE after FF FE, UTF-8 after EF BB BF
    // or when the bytes are valid UTF-8, else the ANSI code page 1252.
    static RegistryFile Load(const std::filesystem::path& file);

    // key is the full path, "HKEY_LOCAL_MACHINE\SOFTWARE\Apps"; an empty
    // name is the default value (@).
    bool HasKey(std::u16string_view key) const;
    const RegistryValue* Value(std::u16string_view key, std::u16string_view name) const;
    // A string value's text (String or ExpandString); none for other kinds.
    std::optional<std::u16string> String(std::u16string_view key, std::u16string_view name) const;
    // The names of the key's direct subkeys, in file order.
    std::vector<std::u16string> Subkeys(std::u16string_view key) const;

private:
    struct Key;
    // The subkey of that name, compared without regard to case.
    static Key* Subkey(const Key& key, std::u16string_view name);
    Key* Find(std::u16string_view key) const;
    Key& Make(std::u16string_view key);
    void Remove(std::u16string_view key);

    std::unique_ptr<Key> root;
};

} // namespace vellum::system
