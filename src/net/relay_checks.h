#pragma once
// What the host checks in a joiner's message before it goes anywhere:
// its size and head, and that it speaks only for its sender (the sender's
// region, its own slot, nothing only the host may send). A message that
// fails is relayed to nobody and acted on nowhere.
#include <cstddef>
#include <cstdint>

struct NetSession;
struct NetPlayer;
struct SessionMessage;

// Why a joiner's message may go no further, or null; a failure is logged
// as a dropped message.
const char* JoinerMessageDefect(NetSession& session, uint32_t from, const NetPlayer* sender, const uint8_t* data,
                                size_t size);

// A command may speak only for the sender's region; the host also speaks
// for every region no other person holds (its computer players).
const char* CommandSenderDefect(NetSession& session, uint32_t from, const NetPlayer* sender, int player);
// Why a session message may not act as it asks, or null.
const char* SessionMessageDefect(NetSession& session, uint32_t from, const NetPlayer* sender, const SessionMessage& m);
// The region of the sender's own slot, or -1 when it holds none.
int SenderRegion(NetSession& session, uint32_t from);
