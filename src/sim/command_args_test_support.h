#pragma once
// The round trip every typed argument struct is held to: a row gives the
// struct and the four words its command carries, worked out by hand.
#include <gtest/gtest.h>

#include <cstddef>
#include <tuple>

#include "sim/game_command.h"

template <class Args>
struct ArgsRow {
  const char* command;
  Args args;
  CommandArgWords words;
};

// Pack gives the row's words, Unpack gives the struct back, and a command
// carries them in its argument words.
template <class Args, size_t N>
void ExpectArgsRoundTrip(const ArgsRow<Args> (&rows)[N]) {
  for (const ArgsRow<Args>& r : rows) {
    EXPECT_EQ(r.args.Pack(), r.words) << r.command;
    EXPECT_EQ(Args::Unpack(r.words), r.args) << r.command;
    GameCommand c;
    SetArgWords(c, r.args.Pack());
    EXPECT_EQ(std::tuple(c.arg24, c.arg28, c.arg32, c.arg36),
              std::tuple(r.words.arg24, r.words.arg28, r.words.arg32, r.words.arg36))
        << r.command;
    EXPECT_EQ(ArgsOf<Args>(c), r.args) << r.command;
  }
}
