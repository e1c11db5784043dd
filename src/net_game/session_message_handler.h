#pragma once
// The main thread's handling of the session messages that wait in the
// network queue: game speed, the peers' compatibility records, the game
// set-up and start, player messages, the peers' progress and profiles.
struct ScreenManager;
struct NetSession;
struct SessionMessage;
struct World;

// Window message 0x8001: hands each message of the network queue to
// HandleSessionMessage, never holding the queue's lock while a message is
// handled.
void DrainNetQueue(ScreenManager& ui);
// The main thread's action for one session message, on the world the
// session's game is played in; the second form for the game's session and world.
void HandleSessionMessage(NetSession& session, World& world, const SessionMessage& message, ScreenManager* ui);
void HandleSessionMessage(const SessionMessage& message);
