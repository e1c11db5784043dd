#pragma once
// The texts of player messages: each of a message's four parameters turned
// into a short text by the kind its type gives it, and the type's template
// filled with them. Templates come from the newsitems data file, so they are
// never handed to printf: only "%s" (the next parameter text, at most four)
// and "%%" are replaced; any other conversion is printed as it stands.
#include <cstddef>
#include <cstdint>

struct World;
struct PlayerMessage;

inline constexpr size_t kMessageBodySize = 4096;  // a body holds at most 4,095 characters
inline constexpr size_t kParamTextSize = 40;      // a parameter text holds at most 39

// The parameter kind that names one of the people (by its people id).
inline constexpr uint8_t kParamKindPerson = 7;

// Writes the text of one parameter of the given kind into `out` (zero-filled
// first, cut to 39 characters).
void FormatMessageParameter(World& world, uint8_t kind, uint32_t value, char (&out)[kParamTextSize]);

// Fills the template with the parameter texts (null texts count as empty)
// into out, cut to size - 1 characters and terminated. Returns the length.
size_t FormatMessageTemplate(const char* templateText, const char* const params[4], char* out, size_t size);

// Rebuilds the message's body from its type's template and parameters, with
// the type's attachment block: a status line (flag bit 6) takes the status
// template and no block. A letter (type 0) keeps its body.
void FormatGameMessageText(World& world, PlayerMessage& message);
