#pragma once
// Names that become part of a file name (a player's or a network slot's
// name, which a peer may choose) are made harmless first: no folder
// separators, drive marks, parent-folder steps or control characters.
#include <string>
#include <string_view>

// Each '/', '\', ':' and control character becomes '_', and so does every
// '.' that is followed by another '.'.
std::string SafeFileNamePart(std::string_view name);
