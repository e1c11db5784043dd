#pragma once
// A network role given on the command line: "-host" hosts at once and opens
// the lobby as host; "-client ADDRESS" searches that address for a host for
// up to a minute, joins the first found and opens the lobby as joiner. The
// search is polled from the main loop's idle frames, never waited for; a
// failure ends the program.
#include <cstdint>

struct NetSession;
struct ScreenManager;

inline constexpr uint32_t kCommandLineSearchMs = 60000;
inline constexpr uint32_t kCommandLineLookMs = 100;
// The port of a session when the command line names none.
inline constexpr uint32_t kNetDefaultPort = 23154;

// Readies the session for hosting or searching: a player name ("PLAYER"
// when empty), a service provider (the settings' by name when none is
// chosen) and the host list's age-out. E_FAIL without a peer or without a
// provider of that name.
int32_t NetPrepareSession(NetSession& session);

enum class CommandLineStage : int32_t { kIdle, kSearching, kConnecting, kInLobby, kFailed };

// Starts the role (1 host, 2 client) on the session at tick `now`; a host
// listens at the bind address.
CommandLineStage StartCommandLineSession(NetSession& session, ScreenManager* ui, int32_t role, uint32_t now,
                                         const char* bindAddress);
// One poll at tick `now`: looks for a host every 100 ms, joins the first
// host found and opens the lobby once the connection
// stands; a minute without a host, or a failed join, fails.
CommandLineStage PollCommandLineSession(NetSession& session, ScreenManager* ui, uint32_t now);
// The stage the command-line session is in.
CommandLineStage CommandLineSessionStage();
