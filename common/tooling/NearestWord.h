#pragma once

// The known word a mistyped one most likely meant, for "did you mean ...?".

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The word of `known` nearest to `typed` by edit distance (insertions, deletions, substitutions
// and swaps of neighbours, letters compared without case), when it is near enough to be a typo:
// at most a third of its length away (a word that differs only in case is nearest of all).
// Nothing otherwise.
std::optional<std::string> nearestWord(std::string_view typed, const std::vector<std::string_view>& known);
