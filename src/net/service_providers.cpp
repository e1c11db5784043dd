#include "net/service_providers.h"

#include <cstring>

#include "net/net_session.h"

int32_t NetEnumServiceProviders(NetSession& session) {
  session.providers.clear();
  session.providers.emplace_back(kTcpIpProviderName);
  return 0;
}

const char* NetFindServiceProvider(NetSession& session, const char* name) {
  if (!name) name = session.identity.preferredProvider;
  if (name[0] == '\0') return nullptr;
  if (session.providers.empty()) (void)NetEnumServiceProviders(session);
  for (const std::string& provider : session.providers)
    if (provider == name) return provider.c_str();
  return nullptr;
}
