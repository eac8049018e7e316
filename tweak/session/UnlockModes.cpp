// The one table from an unlock type to its mode. A gesture is a mode file and a row here (and,
// in the settings panel, the rows its options take).

#include "tweak/session/CVUnlockMode.h"

#include "tweak/session/DragMode.h"
#include "tweak/session/OverlayMode.h"
#include "tweak/session/PeelMode.h"
#include "tweak/session/PinchMode.h"
#include "tweak/session/PullBadgeMode.h"
#include "tweak/session/RotateMode.h"
#include "tweak/session/VaultMode.h"
#include "tweak/settings/CVSettings.h"

#include <iterator>
#include <optional>

namespace {

// An unlock type outside the seven: the lock screen shows the full-screen touch capture view and
// nothing else, and no touch moves anything.
class CVNoGestureMode final : public CVUnlockMode {
public:
    static CVNoGestureMode& shared() {
        static CVNoGestureMode mode;
        return mode;
    }
    bool movesSnapshot() const override { return false; }
};

template <typename Mode>
CVUnlockMode& modeOf() {
    return Mode::shared();
}

// A type and its mode; the last row, without a type, takes every value the others do not.
struct Row {
    std::optional<CVUnlockType> type;
    CVUnlockMode& (*mode)();
};

constexpr Row kTable[] = {
    {CVUnlockType::Drag, modeOf<CVDragMode>},
    {CVUnlockType::Overlay, modeOf<CVOverlayMode>},
    {CVUnlockType::Pinch, modeOf<CVPinchMode>},
    {CVUnlockType::Peel, modeOf<CVPeelMode>},
    {CVUnlockType::PullBadge, modeOf<CVPullBadgeMode>},
    {CVUnlockType::Rotate, modeOf<CVRotateMode>},
    {CVUnlockType::Vault, modeOf<CVVaultMode>},
    {std::nullopt, modeOf<CVNoGestureMode>},
};

}  // namespace

CVUnlockMode& CVUnlockModeFor(CVUnlockType type) {
    for (const Row& row : kTable) {
        if (!row.type || *row.type == type) return row.mode();
    }
    return std::end(kTable)[-1].mode();
}

void CVForEachUnlockMode(const std::function<void(CVUnlockMode&)>& visit) {
    for (const Row& row : kTable) visit(row.mode());
}

CVSlideOut CVUnlockMode::slideOut(const CVSettings& settings) const {
    const CVUnlockDirection direction = settings.unlockDirection();
    if (direction == CVUnlockDirection::Any) return {CVSlideOut::Way::WithLastStep};
    return {CVIsHorizontal(direction) ? CVSlideOut::Way::Horizontal : CVSlideOut::Way::Vertical};
}
