// The quota service's version as it reports it to clients.
#pragma once

constexpr char kServerVersion[] = "4.0";     // at most 7 characters
constexpr char kServerBuild[] = "100";       // at most 7 characters
constexpr char kServerEdition[] = "Kelvane"; // at most 19 characters
constexpr char kServerProduct[] = "Allotrix quota service";
constexpr char kServerCompany[] = "Ostrel";
constexpr char kServerProtocol[] = "Protocol 1";
