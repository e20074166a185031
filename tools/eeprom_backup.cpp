#include "tools/eeprom_backup.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "link/jig_transport.h"
#include "platform/replacing_file.h"
#include "tools/edid_decoder.h"
#include "tools/memory_image.h"

namespace velmora::tools {

namespace {

namespace fs = std::filesystem;

constexpr std::size_t kStampLength = 15;  // YYYYMMDD-HHMMSS
constexpr int kSameSecondLimit = 9;       // backups of one monitor within one second

// Letters and digits stay; every run of anything else becomes one '-'.
std::string keyPart(std::string_view text) {
    std::string part;
    for (char c : text) {
        const bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
        if (plain) part += c;
        else if (!part.empty() && part.back() != '-') part += '-';
    }
    while (!part.empty() && part.back() == '-') part.pop_back();
    return part;
}

std::string hexText(std::uint32_t value, int digits) {
    char text[16];
    std::snprintf(text, sizeof text, "%0*X", digits, value);
    return text;
}

std::string stampOf(std::time_t when) {
    std::tm local{};
    localtime_r(&when, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y%m%d-%H%M%S", &local);
    return text;
}

bool isStamp(std::string_view text) {
    if (text.size() != kStampLength || text[8] != '-') return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (i != 8 && (text[i] < '0' || text[i] > '9')) return false;
    }
    return true;
}

// "20261209-063512" as "2026-12-09 06:35:12".
std::string dateOfStamp(std::string_view stamp) {
    return std::string(stamp.substr(0, 4)) + "-" + std::string(stamp.substr(4, 2)) + "-" +
           std::string(stamp.substr(6, 2)) + " " + std::string(stamp.substr(9, 2)) + ":" +
           std::string(stamp.substr(11, 2)) + ":" + std::string(stamp.substr(13, 2));
}

// The monitor key and date of a folder named "KEY_STAMP" or "KEY_STAMP-N".
std::optional<BackupEntry> entryOfName(std::string_view name) {
    if (name.empty() || name[0] == '.') return std::nullopt;
    const std::size_t underscore = name.rfind('_');
    if (underscore == std::string_view::npos || underscore == 0) return std::nullopt;
    const std::string_view stamp = name.substr(underscore + 1, kStampLength);
    if (!isStamp(stamp)) return std::nullopt;
    BackupEntry entry;
    entry.monitor = std::string(name.substr(0, underscore));
    entry.date = dateOfStamp(stamp);
    return entry;
}

void removeQuietly(const fs::path& folder) {
    std::error_code ignored;
    fs::remove_all(folder, ignored);
}

}  // namespace

std::optional<BackupMonitor> backupMonitorFromEdid(std::span<const std::uint8_t> block) {
    const EdidDecoding decoding = decodeEdid(block);
    if (!decoding.edid) return std::nullopt;
    const DecodedEdid& edid = *decoding.edid;
    BackupMonitor monitor;
    monitor.key = keyPart(edid.manufacturer) + "-" + hexText(static_cast<std::uint32_t>(edid.productCode), 4) + "-" +
                  hexText(edid.serialNumber, 8);
    monitor.text = edid.manufacturer + " " + hexText(static_cast<std::uint32_t>(edid.productCode), 4) + "h, serial " +
                   hexText(edid.serialNumber, 8) + "h";
    if (edid.displaySerial && !keyPart(*edid.displaySerial).empty()) {
        monitor.key += "-" + keyPart(*edid.displaySerial);
        monitor.text += " (" + *edid.displaySerial + ")";
    }
    return monitor;
}

BackupMonitor backupMonitorFromModel(std::string_view modelName) {
    const std::string name = keyPart(modelName);
    return BackupMonitor{"model-" + (name.empty() ? std::string("unnamed") : name),
                         (modelName.empty() ? std::string("a monitor without model") : std::string(modelName)) +
                             " (no EDID answered)"};
}

BackupMonitor identifyMonitor(link::MonitorLink& link, std::string_view modelName) {
    // The block read's bus reset puts the jig's bus speed back to its start
    // value; the speed the technician chose stays.
    link::JigTransport* jig = link.jigControls();
    const std::int32_t busDelay = jig != nullptr ? jig->bus().busDelayCount() : 0;
    const std::uint8_t* block = link.readEepromBlock(0);
    std::optional<BackupMonitor> monitor;
    if (block != nullptr) monitor = backupMonitorFromEdid(std::span<const std::uint8_t>(block, link::kEepromBlockBytes));
    if (jig != nullptr) jig->bus().setBusDelayCount(busDelay);
    return monitor ? *monitor : backupMonitorFromModel(modelName);
}

std::string backupsFolder(std::string_view dataHome) {
    if (dataHome.empty()) return {};
    return std::string(dataHome) + "/" + std::string(kBackupsFolderName);
}

std::string backupPageFileName(int page) { return "page" + std::to_string(page) + ".mem"; }

std::vector<BackupEntry> listBackups(const std::string& root) {
    std::vector<BackupEntry> entries;
    std::error_code error;
    for (const fs::directory_entry& item : fs::directory_iterator(root, error)) {
        if (!item.is_directory(error)) continue;
        auto entry = entryOfName(item.path().filename().string());
        if (!entry) continue;
        entry->folder = item.path().string();
        for (int page = 0; page < kBackupPages; ++page) {
            const fs::path file = item.path() / backupPageFileName(page);
            std::error_code sizeError;
            const std::uintmax_t size = fs::file_size(file, sizeError);
            if (sizeError) continue;
            ++entry->pages;
            entry->size += size;
        }
        entries.push_back(std::move(*entry));
    }
    std::sort(entries.begin(), entries.end(), [](const BackupEntry& a, const BackupEntry& b) {
        return a.monitor != b.monitor ? a.monitor < b.monitor : a.folder < b.folder;
    });
    return entries;
}

std::vector<BackupFile> listBackupFiles(const std::string& root) {
    std::vector<BackupEntry> entries = listBackups(root);
    std::sort(entries.begin(), entries.end(),
              [](const BackupEntry& a, const BackupEntry& b) { return a.date > b.date; });
    std::vector<BackupFile> files;
    for (const BackupEntry& entry : entries) {
        for (int page = 0; page < kBackupPages; ++page) {
            const fs::path file = fs::path(entry.folder) / backupPageFileName(page);
            std::error_code error;
            if (!fs::is_regular_file(file, error)) continue;
            files.push_back({entry.monitor + "  " + entry.date + "  " + backupPageFileName(page), file.string()});
        }
    }
    return files;
}

bool hasBackup(const std::string& root, const BackupMonitor& monitor) {
    const auto entries = listBackups(root);
    return std::any_of(entries.begin(), entries.end(), [&monitor](const BackupEntry& entry) {
        return entry.monitor == monitor.key && entry.pages == kBackupPages;
    });
}

BackupOutcome makeBackup(model::FeatureInterpreter& interpreter, const std::string& root,
                         const BackupMonitor& monitor, std::time_t when, const ByteDone& byteDone) {
    if (root.empty()) {
        return {false, {}, "there is no folder for backups: neither XDG_DATA_HOME nor HOME is set"};
    }
    const std::string name = monitor.key + "_" + stampOf(when);
    fs::path target = fs::path(root) / name;
    for (int n = 2; fs::exists(target) && n <= kSameSecondLimit; ++n) {
        target = fs::path(root) / (name + "-" + std::to_string(n));
    }
    const fs::path unfinished = fs::path(root) / ("." + target.filename().string() + ".unfinished");
    if (fs::exists(target)) {
        return {false, {}, "there are already " + std::to_string(kSameSecondLimit) + " backups of " + monitor.key +
                               " from this second"};
    }
    std::error_code error;
    fs::create_directories(unfinished, error);
    if (error) return {false, {}, "cannot make the folder " + unfinished.string() + " (" + error.message() + ")"};
    for (int page = 0; page < kBackupPages; ++page) {
        std::vector<std::uint8_t> bytes;
        bytes.reserve(256);
        for (int address = 0; address <= 0xFF; ++address) {
            const auto byte =
                interpreter.readMemory(static_cast<std::uint8_t>(page), static_cast<std::uint8_t>(address));
            if (byteDone) byteDone();
            if (!byte) {
                removeQuietly(unfinished);
                return {false, {}, "page " + std::to_string(page) + " address " + hexText(static_cast<std::uint32_t>(address), 2) +
                                       " could not be read"};
            }
            bytes.push_back(*byte);
        }
        const std::string path = (unfinished / backupPageFileName(page)).string();
        auto file = platform::ReplacingFile::create(path);
        const std::string text = formatMemoryImage(page * 256, page * 256 + 0xFF, bytes);
        if (!file || !file->commit(text)) {
            const std::string reason = file ? file->failureReason() : std::string("cannot be created");
            removeQuietly(unfinished);
            return {false, {}, "cannot write " + path + " (" + reason + ")"};
        }
    }
    fs::rename(unfinished, target, error);
    if (error) {
        removeQuietly(unfinished);
        return {false, {}, "cannot name the backup " + target.string() + " (" + error.message() + ")"};
    }
    return {true, target.string(), {}};
}

}  // namespace velmora::tools
