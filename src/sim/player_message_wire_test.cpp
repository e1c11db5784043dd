#include "sim/player_message_wire.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "world/list_items.h"

namespace {

char* Copy(const char* text) {
  char* copy = static_cast<char*>(std::malloc(std::strlen(text) + 1));
  std::strcpy(copy, text);
  return copy;
}

TEST(PlayerMessageWire, RoundTripAndRefusals) {
  PlayerMessage* m = NewZeroed<PlayerMessage>();
  m->sender = 3;
  m->flags = 0x21;
  m->typeId = 50;
  m->params[2] = 0xDEADBEEF;
  m->texts[1] = Copy("body");
  m->texts[2] = Copy("DIPOFFER\n");
  std::vector<uint8_t> wire = EncodePlayerMessage(*m, 2);
  ASSERT_EQ(wire.size(), 96u + 5 + 10);
  EXPECT_EQ(wire[76], 0);  // no subject
  EXPECT_EQ(wire[80], 96);
  EXPECT_EQ(wire[84], 101);
  PlayerMessage* back = DecodePlayerMessage(wire.data(), wire.size());
  ASSERT_NE(back, nullptr);
  EXPECT_EQ(back->typeId, 50u);
  EXPECT_EQ(back->owner, 2);
  EXPECT_EQ(back->sender, 3);
  EXPECT_EQ(back->params[2], 0xDEADBEEFu);
  EXPECT_EQ(back->flags, m->flags);
  EXPECT_EQ(back->texts[0], nullptr);
  EXPECT_STREQ(back->texts[1], "body");
  EXPECT_STREQ(back->texts[2], "DIPOFFER\n");
  DeleteZeroed(back);

  std::string reason;
  EXPECT_EQ(DecodePlayerMessage(wire.data(), 95, &reason), nullptr);
  EXPECT_EQ(DecodePlayerMessage(nullptr, 200, &reason), nullptr);
  std::vector<uint8_t> bad = wire;
  bad[80] = 50;  // inside the record
  EXPECT_EQ(DecodePlayerMessage(bad.data(), bad.size(), &reason), nullptr);
  bad = wire;
  bad[84] = 200;  // past the end
  EXPECT_EQ(DecodePlayerMessage(bad.data(), bad.size(), &reason), nullptr);
  bad = wire;
  bad.back() = 'x';  // the last text has no end
  EXPECT_EQ(DecodePlayerMessage(bad.data(), bad.size(), &reason), nullptr);
  bad.assign(kMaxMessagePayload + 1, 0);
  EXPECT_EQ(DecodePlayerMessage(bad.data(), bad.size(), &reason), nullptr);
  // Every cut of the message is refused or read whole, never past its end.
  for (size_t cut = 0; cut < wire.size(); ++cut) {
    std::vector<uint8_t> part(wire.begin(), wire.begin() + static_cast<long>(cut));
    PlayerMessage* read = DecodePlayerMessage(part.data(), part.size());
    if (read) DeleteZeroed(read);
  }
  DeleteZeroed(m);
}

}  // namespace
