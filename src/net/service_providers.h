#pragma once
// The service providers a session can run on, found by the name the
// settings give ("Preferred Provider"). The platform's peer layer has one:
// TCP/IP between the peers, UDP for finding hosts.
#include <cstdint>

struct NetSession;

// The one provider's name, also the session's provider when the settings
// name none.
inline constexpr const char* kTcpIpProviderName = "DirectPlay8 TCP/IP Service Provider";

// Fills the session's provider list afresh. Returns 0.
int32_t NetEnumServiceProviders(NetSession& session);
// The provider listed under exactly that name (case counts), listing them
// first when no list is made; null (the session's own provider name) looks
// for the settings' provider. None for an empty or unknown name.
const char* NetFindServiceProvider(NetSession& session, const char* name);
