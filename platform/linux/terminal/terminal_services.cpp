// Linux host, terminal: the services of one run and the terminal's side of the Format command.
#include "platform/linux/terminal/terminal_services.h"

#include "platform/linux/fatfs/volume_label.h"
#include "platform/linux/terminal/file_layer_status.h"
#include "platform/linux/terminal/format_failure.h"
#include "platform/linux/terminal/run_signals.h"

namespace tolven::linux_host {

namespace {

// The target table's drive access, its block writes counted: the copies the panel and the
// installer take count too.
FatDriveAccess CountingDriveAccess(TargetTable& targets, WriteCount& written) {
    FatDriveAccess access = TargetDriveAccess(targets);
    access.openDevice = CountingBlockDevices(access.openDevice, written);
    return access;
}

}  // namespace

bool FatVolumeLabel::SetVolumeLabelA(std::string_view rootPath, std::string_view label) {
    FatStatus status;
    if (linux_host::SetVolumeLabelA(access_, rootPath, label, &status)) {
        return true;
    }
    failure_ = StatusOf(status);
    failure_.message.insert(0, "cannot set the volume label: ");
    return false;
}

void RunObserver::OnStepStarted(FormatStep step) {
    // From the yes until the structures are written a signal waits; afterwards it stops the copy.
    SetSignalPhase(step == FormatStep::kFormat ? SignalPhase::kFormatting : SignalPhase::kCopying);
}

std::string RunObserver::FailureReason(FormatStep step) {
    switch (step) {
        case FormatStep::kFormat:
            return target_ != nullptr
                       ? FormatFailureReason(targets_, *target_, volumes_.LastOpenStatus()).message
                       : std::string();
        case FormatStep::kLabel:
            return label_.Failure().message;
        case FormatStep::kContent:
            return files_.Failure().message;
    }
    return {};
}

bool RunObserver::StopRequested() {
    stopSignal_ = PendingSignal();
    return stopSignal_ != 0;
}

TerminalServices::TerminalServices(DriveTable& drives)
    : targets_(drives),
      storage_(targets_),
      linuxVolumes_(targets_),
      written_([this](uint64_t total) {
          if (progress_ != nullptr) {
              progress_->Update(total);
          }
      }),
      volumeSystem_(linuxVolumes_, written_),
      fatAccess_(CountingDriveAccess(targets_, written_)),
      volumeInformation_(fatAccess_),
      playerFiles_(fatAccess_),
      fileSystem_(
          playerFiles_, [] { return PendingSignal() != 0; },
          [this] { return StatusOf(playerFiles_.LastError()); }),
      labels_(fatAccess_),
      observer_(targets_, linuxVolumes_, labels_, fileSystem_) {
    services_.emplace(PlatformServices{storage_, volumeInformation_,
                                       FormatPlatform{volumeSystem_, clock_, pages_}, labels_, fileSystem_,
                                       content_, &observer_});
}

void TerminalServices::FormatOnly(const DriveTarget& target) {
    onlyPlayer_.emplace(storage_, target.letter);
    observer_.SetTarget(target);
    services_.emplace(PlatformServices{*onlyPlayer_, volumeInformation_,
                                       FormatPlatform{volumeSystem_, clock_, pages_}, labels_, fileSystem_,
                                       content_, &observer_});
}

}  // namespace tolven::linux_host
