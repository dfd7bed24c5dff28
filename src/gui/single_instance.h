#pragma once

#include "platform/instance_claim.h"

#include <QObject>
#include <functional>
#include <string>

namespace tolvane::gui {

// One desktop program per settings folder: a second start hands over to the
// running one, which shows its window. Two schedules on one pair of settings
// files would race on the same copies and lose each other's saved edits.
class SingleInstance : public QObject {
  public:
    explicit SingleInstance(const std::string& settingsFolder);

    // Another program runs on these settings; it has been asked to show its
    // window, and this start should end.
    bool handedOver() const { return handedOver_; }

    // From now on another start's request calls `show`.
    void onShowRequest(std::function<void()> show);

  private:
    platform::InstanceClaim claim_;
    bool handedOver_ = false;
};

} // namespace tolvane::gui
