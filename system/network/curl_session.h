// What the network module (vellum-network.so, the one part of the program
// that links libcurl) offers: a transfer session over a libcurl easy
// handle. CurlTransfer (curl_transfer.h) loads the module and is what the
// transfers use.
#pragma once

#include <cstdio>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace vellum::system {

enum class TransferProtocol { ftp, http };

class CurlSession {
public:
    virtual ~CurlSession() = default;
    virtual void SetLogin(const std::optional<std::string>& user, const std::optional<std::string>& password) = 0;
    virtual bool Login(const std::string& url) = 0;
    // Hands the bytes the server delivers to take as they come; a false
    // from take stops the transfer, which then fails.
    virtual bool Fetch(const std::string& url, const std::function<bool(std::string_view bytes)>& take) = 0;
    virtual bool Send(const std::string& url, std::FILE* source) = 0;
    virtual long ResponseStatus() const = 0;
};

struct NetworkModule {
    // Null when libcurl could not make a handle.
    std::unique_ptr<CurlSession> (*open)(TransferProtocol protocol);
};

inline constexpr char kNetworkModuleFile[] = "vellum-network.so";
inline constexpr char kNetworkModuleEntry[] = "vellum_network_module";

} // namespace vellum::system
