#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "app/settings.h"

namespace {

struct Parsed {
  AppObject app;
  NetIdentity net;
  int32_t role = 0;
  int32_t mapEditor = 0;

  Parsed() {
    std::strcpy(net.playerName, "PLAYER");
    std::strcpy(net.sessionName, "New Game");
    std::strcpy(net.hostAddress, "255.255.255.255");
    net.port = 4321;
  }
  Parsed& Parse(const char* line) {
    ParseCommandLine(app, net, role, mapEditor, line);
    return *this;
  }
};

TEST(ParseCommandLine, UnquotedPlayerNameRunsToTheEndOfTheLine) {
  Parsed p;
  p.Parse("-player Bob -host Game");
  EXPECT_STREQ(p.net.playerName, "Bob -host Game");
  EXPECT_STREQ(p.net.sessionName, "Game");
  EXPECT_EQ(p.role, 1);
  EXPECT_EQ(p.net.port, 0u);
  EXPECT_EQ(p.mapEditor, 0);
}

TEST(ParseCommandLine, PlayerNameIsCutTo15Characters) {
  Parsed p;
  p.Parse("-player Roberta -host The Long Game");
  EXPECT_STREQ(p.net.playerName, "Roberta -host T");
  EXPECT_STREQ(p.net.sessionName, "The Long Game");
}

TEST(ParseCommandLine, QuotedSessionNameEndsAtItsQuote) {
  Parsed p;
  p.Parse("-host \"My Game\" -player Ann");
  EXPECT_STREQ(p.net.sessionName, "My Game");
  EXPECT_STREQ(p.net.playerName, "Ann");
  EXPECT_EQ(p.role, 1);
  EXPECT_EQ(p.net.port, 0u);
}

TEST(ParseCommandLine, AKeywordInsideALongerWordIsNotFound) {
  Parsed p;
  p.Parse("-hostile");
  EXPECT_EQ(p.role, 0);
  EXPECT_STREQ(p.net.sessionName, "New Game");
  EXPECT_EQ(p.net.port, 0u);
}

TEST(ParseCommandLine, ClientSetsHostAndConnectAddresses) {
  Parsed p;
  p.Parse("-client 10.0.0.5");
  EXPECT_STREQ(p.net.hostAddress, "10.0.0.5");
  EXPECT_STREQ(p.net.connectAddress, "10.0.0.5");
  EXPECT_EQ(p.role, 2);
  EXPECT_STREQ(p.net.sessionName, "New Game");
  EXPECT_STREQ(p.net.playerName, "PLAYER");
}

TEST(ParseCommandLine, HostWinsOverClient) {
  Parsed p;
  p.Parse("-client \"10.0.0.5\" -host \"G\"");
  EXPECT_EQ(p.role, 1);
  EXPECT_STREQ(p.net.hostAddress, "10.0.0.5");
  EXPECT_STREQ(p.net.sessionName, "G");
}

TEST(ParseCommandLine, PortMapEditorAndIgnoredOptions) {
  Parsed p;
  p.role = 2;  // left as it was without -host and -client
  p.Parse("-maxplayers 8 -pw secret -port 2302 -mapedit");
  EXPECT_EQ(p.net.port, 2302u);
  EXPECT_EQ(p.mapEditor, 1);
  EXPECT_EQ(p.role, 2);
  EXPECT_STREQ(p.net.sessionName, "New Game");
  EXPECT_STREQ(p.net.playerName, "PLAYER");
  // Without -client the current host address stands as the connect address.
  EXPECT_STREQ(p.net.connectAddress, "255.255.255.255");
}

TEST(ParseCommandLine, EmptyOrMissingLineChangesNothing) {
  Parsed p;
  p.Parse(nullptr).Parse("");
  EXPECT_EQ(p.net.port, 4321u);
  EXPECT_EQ(p.role, 0);
  EXPECT_STREQ(p.net.playerName, "PLAYER");
  EXPECT_STREQ(p.net.connectAddress, "");
}

TEST(ParseCommandLine, OverlongValuesStayWithinTheirBuffers) {
  Parsed p;
  const std::string name(400, 'n');
  const std::string line = "-client " + name;
  p.Parse(line.c_str());
  EXPECT_EQ(std::string(p.net.hostAddress), std::string(259, 'n'));
  EXPECT_EQ(std::string(p.net.connectAddress), std::string(259, 'n'));
  const std::string hostLine = "-host " + name;
  p.Parse(hostLine.c_str());
  EXPECT_EQ(std::string(p.net.sessionName), std::string(259, 'n'));
}

TEST(ReadFormEditorOption, OpensTheEditorWithTheNamedForm) {
  struct Row { const char* line; bool open; const char* name; } rows[] = {
      {"-formedit TITLEBAR", true, "TITLEBAR"}, {"-formedit", true, ""}, {"-mapedit -formedit \"A B\"", true, "A B"},
      {"-formeditor X", false, ""},             {"-mapedit", false, ""}, {nullptr, false, ""}};
  for (const Row& row : rows) {
    std::string name = "left over";
    EXPECT_EQ(ReadFormEditorOption(row.line, &name), row.open) << (row.line ? row.line : "(none)");
    EXPECT_EQ(name, row.name) << (row.line ? row.line : "(none)");
  }
}

TEST(CommandLineAsksHelp, OnlyAnArgumentOfItsOwnAsks) {
  struct Row { std::vector<const char*> args; bool asks; } rows[] = {
      {{"veldrane", "-mapedit", "--help"}, true}, {{"--help"}, false}, {{"veldrane", "-help"}, false},
      {{"veldrane", "--helper"}, false}, {{"veldrane", "-player", "--help-me"}, false}};
  for (const Row& row : rows)
    EXPECT_EQ(CommandLineAsksHelp(static_cast<int>(row.args.size()), row.args.data()), row.asks) << row.args.back();
}

}  // namespace
