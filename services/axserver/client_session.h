// The requests of one client connection: decoding, checking and answering them.
#pragma once

#include "client/records.h"
#include "client/wire_protocol.h"
#include "services/axserver/quota_service.h"

#include <cstdint>
#include <string>
#include <vector>

struct ServerIdentity {
    int serverKind = 0;
    std::string storeFolder;
};

class ClientSession {
public:
    ClientSession(QuotaService& service, const ServerIdentity& identity)
        : m_service(service), m_identity(identity) {}

    // Answers one request with a status and a response payload. Returns false when the request
    // was malformed: the connection is closed after the answer.
    bool Handle(uint16_t op, const std::vector<uint8_t>& payload, uint32_t& status,
                wire::Writer& response);

private:
    uint32_t Dispatch(wire::Op op, wire::Reader& request, wire::Writer& response);
    uint32_t NextRecords(wire::Reader& request, wire::Writer& response);
    uint32_t NextFiles(wire::Reader& request, wire::Writer& response);
    uint32_t Properties(wire::Writer& response);
    // Whether a folder name names the record store's folder or one below it: no client reads or
    // changes the store through the folder requests.
    bool InsideStore(const std::string& name) const;

    QuotaService& m_service;
    const ServerIdentity& m_identity;
    ListPosition m_position;
    bool m_enumerating = false;
    std::vector<AXServerCommunicationFileRec> m_files;
    size_t m_nextFile = 0;
    bool m_listing = false;
};
