#include "screens/frontend/chat_screen.h"

#include "net/text_message.h"
#include "platform/status.h"
#include "world/world.h"

int32_t SubmitChatLine(ScreenSet&, const char* text, int32_t) {
  if (!text || !*text) return plat::kFail;
  TextMessage line;
  TextMessageCtor(line, g_world.gameState.localPlayer, 0xFFFFFFFFu, text);
  const int32_t result = SendTextMessage(line, 0);
  TextMessageDtor(line);
  return result;
}
