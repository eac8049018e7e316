#include "common/tooling/NearestWord.h"

#include <algorithm>
#include <cctype>
#include <numeric>

namespace {

bool sameLetter(char a, char b) {
    return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
}

// The optimal string alignment distance between `a` and `b`.
std::size_t editDistance(std::string_view a, std::string_view b) {
    std::vector<std::vector<std::size_t>> d(a.size() + 1, std::vector<std::size_t>(b.size() + 1));
    for (std::size_t i = 0; i <= a.size(); ++i) d[i][0] = i;
    for (std::size_t j = 0; j <= b.size(); ++j) d[0][j] = j;
    for (std::size_t i = 1; i <= a.size(); ++i) {
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t cost = sameLetter(a[i - 1], b[j - 1]) ? 0 : 1;
            d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + cost});
            if (i > 1 && j > 1 && sameLetter(a[i - 1], b[j - 2]) && sameLetter(a[i - 2], b[j - 1])) {
                d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
            }
        }
    }
    return d[a.size()][b.size()];
}

}  // namespace

std::optional<std::string> nearestWord(std::string_view typed, const std::vector<std::string_view>& known) {
    // Words far longer than any known one are no typos, and would only cost time.
    if (typed.empty() || typed.size() > 64) return std::nullopt;
    std::optional<std::string> best;
    std::size_t bestDistance = std::max<std::size_t>(1, typed.size() / 3) + 1;
    for (const auto word : known) {
        const std::size_t distance = editDistance(typed, word);
        if (distance < bestDistance) {
            bestDistance = distance;
            best = std::string(word);
        }
    }
    return best;
}
