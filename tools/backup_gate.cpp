#include "tools/backup_gate.h"

#include <algorithm>

namespace velmora::tools {

namespace {
// Used when the timing read fails: about what one byte costs through the jig.
constexpr std::int32_t kTypicalByteMs = 25;
}  // namespace

int estimatedBackupSeconds(int bytes, std::int32_t byteMs) {
    const std::int64_t ms = static_cast<std::int64_t>(bytes) * std::max<std::int32_t>(byteMs, 1);
    return static_cast<int>(std::max<std::int64_t>(1, (ms + 999) / 1000));
}

std::string backupOfferText(const BackupOffer& offer) {
    return "This is the first write to the EEPROM of " + offer.monitor.text +
           " in this session, and there is no backup of it yet.\n\nBack up all " + std::to_string(kBackupPages) +
           " pages (" + std::to_string(offer.bytes) + " bytes) to " + offer.folder + " first? It takes about " +
           std::to_string(offer.estimatedSeconds) + " s.\n\nYes: back up, then write.\nNo: write without a backup"
           " (not asked again for this monitor until the program ends).";
}

std::string backupFailedText(std::string_view why) {
    return "The backup of the EEPROM failed: " + std::string(why) +
           ". Nothing was written to the monitor, and no backup was kept.";
}

BackupGate::BackupGate(std::string root, std::function<std::time_t()> now)
    : root_(std::move(root)), now_(std::move(now)) {}

bool BackupGate::settled(const std::string& key) const {
    const auto end = settled_.begin() + static_cast<std::ptrdiff_t>(settledCount_);
    return std::find(settled_.begin(), end, key) != end;
}

void BackupGate::settle(const std::string& key) {
    if (settled(key) || settledCount_ >= settled_.size()) return;
    settled_[settledCount_++] = key;
}

bool BackupGate::beforeWrite(model::FeatureInterpreter& interpreter, link::MonitorLink& link,
                             platform::Clock& clock, std::string_view modelName, BackupAsker& asker) {
    lastBackupFolder_.clear();
    const BackupMonitor monitor = identifyMonitor(link, modelName);
    if (settled(monitor.key)) return true;
    if (!root_.empty() && hasBackup(root_, monitor)) {
        settle(monitor.key);
        return true;
    }
    // One byte read tells what the whole backup will take on this link.
    const std::int32_t started = clock.milliseconds();
    const bool answered = interpreter.readMemory(0, 0).has_value();
    const std::int32_t byteMs = answered ? clock.milliseconds() - started : kTypicalByteMs;
    const BackupOffer offer{monitor, root_, kBackupBytes, estimatedBackupSeconds(kBackupBytes, byteMs)};
    switch (asker.offer(offer)) {
    case BackupChoice::Cancel: return false;
    case BackupChoice::WriteWithout: settle(monitor.key); return true;
    case BackupChoice::BackUp: break;
    }
    int done = 0;
    const BackupOutcome outcome = makeBackup(interpreter, root_, monitor, now_(), [&asker, &done] {
        asker.progress(++done, kBackupBytes);
    });
    asker.finished();
    if (!outcome.complete) {
        asker.failed(outcome.failure);
        return false;
    }
    lastBackupFolder_ = outcome.folder;
    settle(monitor.key);
    return true;
}

}  // namespace velmora::tools
