#include <cstring>
#include <string>

#include "app/settings.h"
#include "app/text_tokenizer.h"

namespace {

// Copies at most maximum characters and terminates.
void CopyCut(char* destination, const char* text, size_t maximum) {
  const size_t n = strnlen(text, maximum);
  std::memcpy(destination, text, n);
  destination[n] = '\0';
}

// The current text of a fixed buffer, terminated even when the buffer is full.
std::string Current(const char* buffer, size_t capacity) { return std::string(buffer, strnlen(buffer, capacity)); }

}  // namespace

void ParseCommandLine(AppObject&, NetIdentity& net, int32_t& netRole, int32_t& mapEditorFlag,
                      const char* commandLine) {
  if (!commandLine || !*commandLine) return;
  TextTokenizer tokenizer;
  InitTokenizer(tokenizer, commandLine);
  if (!tokenizer.text) return;

  const std::string currentSession = Current(net.sessionName, sizeof net.sessionName);
  char* session = ReadKeywordString(tokenizer, "-host", currentSession.c_str());
  const bool host = FindKeyword(tokenizer, "-host", false) != nullptr;
  if (session) CopyCut(net.sessionName, session, sizeof net.sessionName - 1);

  const std::string currentHost = Current(net.hostAddress, sizeof net.hostAddress);
  char* address = ReadKeywordString(tokenizer, "-client", currentHost.c_str());
  const bool client = FindKeyword(tokenizer, "-client", false) != nullptr;
  if (address && *address) {
    CopyCut(net.hostAddress, address, sizeof net.hostAddress - 1);
    CopyCut(net.connectAddress, net.hostAddress, sizeof net.connectAddress - 1);
  }

  const std::string currentPlayer = Current(net.playerName, sizeof net.playerName);
  char* player = ReadKeywordString(tokenizer, "-player", currentPlayer.c_str());
  if (player) CopyCut(net.playerName, player, sizeof net.playerName - 1);

  net.port = 0;
  if (char* port = FindKeyword(tokenizer, "-port", false)) {
    tokenizer.cursor = port;
    net.port = static_cast<uint32_t>(ReadFieldInt32(tokenizer, 0));
  }

  // "-maxplayers" and "-pw" are known options that nothing takes.

  if (host) {
    netRole = 1;
  } else if (client) {
    netRole = 2;
  }
  if (FindKeyword(tokenizer, "-mapedit", false)) mapEditorFlag = 1;

  FreeAndClear(session);
  FreeAndClear(address);
  FreeAndClear(player);
}

bool ReadFormEditorOption(const char* commandLine, std::string* name) {
  if (name) name->clear();
  if (!commandLine || !*commandLine) return false;
  TextTokenizer tokenizer;
  InitTokenizer(tokenizer, commandLine);
  if (!tokenizer.text || !FindKeyword(tokenizer, "-formedit", false)) return false;
  char* value = ReadKeywordString(tokenizer, "-formedit", "");
  if (value && name) *name = value;
  FreeAndClear(value);
  return true;
}

const char kCommandLineUsage[] =
    "usage: veldrane [-mapedit | -formedit [FORM]] [-port N] [-player NAME] [-host SESSION-NAME | -client ADDRESS]\n"
    "  -host hosts a network game, -client joins the host at the address, -mapedit opens the map editor,\n"
    "  -formedit opens the layout editor with the form FORM of the HAPS folder loaded.\n"
    "  A value not in double quotes runs to the end of the line, taking in the options after it.\n";

bool CommandLineAsksHelp(int argc, const char* const* argv) {
  for (int i = 1; i < argc; ++i)
    if (argv[i] && std::strcmp(argv[i], "--help") == 0) return true;
  return false;
}
