// One transfer session over a libcurl easy handle, set up the way every
// transfer of the library runs: a direct connection (no proxy), the agent
// name "Vellum", only the protocol asked for, and waits that end.
//
// A transfer blocks the interface thread, so it must never hang: the
// connection (name lookup, connect and the protocol's greeting and login)
// gets 30 seconds, an FTP server 60 seconds for each reply, and a transfer
// that moves less than one byte a second for 60 seconds is abandoned. A
// slow but living link keeps going; a dead one ends in about a minute.
//
// The session keeps its connection between transfers, so the files of one
// FTPDownload share one login. libcurl itself lives in the network module
// (curl_session.h), loaded by the first transfer of a run.
#pragma once

#include "system/network/curl_session.h"

#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

namespace vellum::system {

class CurlTransfer {
public:
    using Protocol = TransferProtocol;

    explicit CurlTransfer(Protocol protocol);

    // False when the network module could not be loaded or libcurl could
    // not make a handle.
    explicit operator bool() const { return session != nullptr; }

    // The login sent with every request; none leaves it out (anonymous
    // FTP, an HTTP request without authorisation).
    void SetLogin(const std::optional<std::string>& user, const std::optional<std::string>& password)
    {
        session->SetLogin(user, password);
    }

    // Connects and logs in without moving a file (FTP).
    bool Login(const std::string& url) { return session->Login(url); }

    // Fetches url into the local file. The file is created (or emptied)
    // only once the server delivers: by the first bytes, or at the end of
    // a complete transfer of nothing, so a missing remote file leaves the
    // local file as it was. False when the transfer failed or a write to
    // the local file failed (a full disk); a failure during the transfer
    // leaves what had arrived.
    bool Fetch(const std::string& url, const std::filesystem::path& local);

    // Sends the rest of an open file to url; false when the transfer or a
    // read of the file failed.
    bool Send(const std::string& url, std::FILE* source) { return session->Send(url, source); }

    // The status of the last HTTP response (0 when none came).
    long ResponseStatus() const { return session->ResponseStatus(); }

private:
    std::unique_ptr<CurlSession> session;
};

} // namespace vellum::system
