#pragma once
#include <cstdint>
#include <ctime>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "link/monitor_link.h"
#include "model/feature_interpreter.h"
#include "tools/memory_transfer.h"

namespace velmora::tools {

// A copy of the monitor's whole EEPROM, taken before the first write to it:
// one memory image file per page ("page0.mem" to "page3.mem", each the
// 520 characters Save Memory makes of a whole page and Load File reads),
// in a folder of its own under the backups folder, named by the monitor
// and the local date and time: "VLM-1734-00012345_20261209-063512".
// A backup is written into a hidden folder and renamed only once every
// page is on disk, so a folder with the plain name is always complete.

inline constexpr int kBackupPages = 4;
inline constexpr int kBackupBytes = kBackupPages * 256;
inline constexpr std::string_view kBackupsFolderName = "velmora-jig/backups";

// Which monitor a backup belongs to: `key` names its folders (letters,
// digits and '-' only), `text` is for people.
struct BackupMonitor {
    std::string key;
    std::string text;
    bool operator==(const BackupMonitor&) const = default;
};

// The monitor an EDID block names (manufacturer, product code, serial
// number, and the serial text where the EDID carries one); nothing for a
// block without the EDID header.
std::optional<BackupMonitor> backupMonitorFromEdid(std::span<const std::uint8_t> block);
// A monitor without EDID, known only by the model chosen for it.
BackupMonitor backupMonitorFromModel(std::string_view modelName);
// Reads EDID block 0 over the link (a bus reset first, as every block read
// does, after which the jig's bus speed is set back to what it was) and
// names the monitor by it, or by the model without an answer.
BackupMonitor identifyMonitor(link::MonitorLink& link, std::string_view modelName);

// "$dataHome/velmora-jig/backups"; empty when the data home is unknown.
std::string backupsFolder(std::string_view dataHome);
// The file of one page inside a backup folder: "page2.mem".
std::string backupPageFileName(int page);

// One complete backup found on disk.
struct BackupEntry {
    std::string folder;     // full path
    std::string monitor;    // the key the folder is named by
    std::string date;       // "2026-12-09 06:35:12"
    int pages = 0;          // page files present
    std::uintmax_t size = 0;  // bytes of those files
};

// The complete backups under `root`, oldest first within each monitor,
// monitors in name order. Hidden (unfinished) folders and anything not
// named like a backup are left out.
std::vector<BackupEntry> listBackups(const std::string& root);
// One page file of a backup, as the window's Backups list offers it.
struct BackupFile {
    std::string text;  // "VLM-1734-00012345  2026-12-09 06:35:12  page0.mem"
    std::string path;
};
// Every page file of the complete backups under `root`, newest backup first.
std::vector<BackupFile> listBackupFiles(const std::string& root);

// Whether `root` holds a complete backup of this monitor.
bool hasBackup(const std::string& root, const BackupMonitor& monitor);

struct BackupOutcome {
    bool complete = false;
    std::string folder;   // where the backup is (complete only)
    std::string failure;  // why there is none (not complete)
};

// Reads every page with the requests Save Memory sends (one-byte reads in
// the present request form, no probe) and writes the backup for `monitor`
// taken at `when`. `byteDone` follows every byte read. A read or a file
// that fails leaves no backup behind, only the reason.
BackupOutcome makeBackup(model::FeatureInterpreter& interpreter, const std::string& root,
                         const BackupMonitor& monitor, std::time_t when, const ByteDone& byteDone = {});

}  // namespace velmora::tools
