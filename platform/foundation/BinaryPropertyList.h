#pragma once

// A reader of binary property lists ("bplist00"). It stands beside the XML reader because the
// binary form comes from other writers and must never bring a process down: every offset and
// count is checked against the data, nesting is bounded, and strings may hold any code unit.

#include "platform/foundation/PropertyList.h"

#include <optional>
#include <span>

// True when the bytes start like a binary property list.
bool isBinaryPropertyList(std::span<const char> bytes);

// The value of a binary property list, or nothing when the bytes are not a well-formed one
// (truncated, offsets out of range, a reference cycle, nesting deeper than
// kMaxPropertyListDepth, a dictionary key that is not a string).
std::optional<PlistValue> readBinaryPropertyList(std::span<const char> bytes);
