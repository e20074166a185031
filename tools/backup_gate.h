#pragma once
#include <array>
#include <cstddef>
#include <ctime>
#include <functional>
#include <string>
#include <string_view>

#include "link/monitor_link.h"
#include "model/feature_interpreter.h"
#include "platform/clock.h"
#include "tools/eeprom_backup.h"

namespace velmora::tools {

// What the technician is asked before the first write to a monitor.
struct BackupOffer {
    BackupMonitor monitor;
    std::string folder;      // where the backup would go
    int bytes = kBackupBytes;
    int estimatedSeconds = 0;
};

enum class BackupChoice {
    BackUp,        // make the backup, then write
    WriteWithout,  // write without a backup; not asked again this session
    Cancel,        // write nothing; asked again at the next write
};

// How a program asks and shows: the window's box and progress bar, the
// command line's answer given by its options and its progress line.
class BackupAsker {
public:
    virtual ~BackupAsker() = default;
    virtual BackupChoice offer(const BackupOffer& offer) = 0;
    // `done` of `total` bytes read; then finished() once.
    virtual void progress(int /*done*/, int /*total*/) {}
    virtual void finished() {}
    // The backup failed part way; `why` says where. Nothing is written.
    virtual void failed(std::string_view why) = 0;
};

// The one check every write to the monitor's EEPROM passes first: Write
// Memory, Load File, a function or script that writes memory or saves
// modes, and their command-line forms. The first time in a session that a
// write would reach a monitor of which no backup exists yet, it offers the
// backup (see eeprom_backup.h) and makes it when taken; afterwards, and
// once the technician declined, that monitor passes without a question.
class BackupGate {
public:
    // The session remembers this many monitors; a further one is asked
    // about again at each write.
    static constexpr std::size_t kSessionMonitors = 16;

    // `root` is the backups folder; `now` gives the time that names a backup.
    BackupGate(std::string root, std::function<std::time_t()> now);

    // True when the write may go ahead: the monitor is settled for this
    // session, a backup of it exists or was made now, or the technician
    // chose to write without one. False after Cancel or a failed backup.
    [[nodiscard]] bool beforeWrite(model::FeatureInterpreter& interpreter, link::MonitorLink& link,
                                   platform::Clock& clock, std::string_view modelName, BackupAsker& asker);

    [[nodiscard]] const std::string& root() const { return root_; }
    // The backup made by the last beforeWrite, if it made one.
    [[nodiscard]] const std::string& lastBackupFolder() const { return lastBackupFolder_; }

private:
    [[nodiscard]] bool settled(const std::string& key) const;
    void settle(const std::string& key);

    std::string root_;
    std::function<std::time_t()> now_;
    std::array<std::string, kSessionMonitors> settled_{};
    std::size_t settledCount_ = 0;
    std::string lastBackupFolder_;
};

// The window's question: what, where, how long, and what Yes and No do.
std::string backupOfferText(const BackupOffer& offer);
// The window's report of a backup that failed part way.
std::string backupFailedText(std::string_view why);
inline constexpr std::string_view kBackupCaption = "EEPROM Backup";

// The time a backup of `bytes` takes when one byte read took `byteMs`,
// in whole seconds, at least 1.
int estimatedBackupSeconds(int bytes, std::int32_t byteMs);

}  // namespace velmora::tools
