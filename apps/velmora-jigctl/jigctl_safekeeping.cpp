#include "apps/velmora-jigctl/jigctl_safekeeping.h"

#include <ctime>
#include <variant>

#include "apps/velmora-jigctl/jigctl_commands.h"
#include "platform/user_folders.h"
#include "tools/memory_compare.h"
#include "tools/memory_file.h"
#include "tools/memory_transfer.h"

namespace velmora::apps::jigctl {

namespace {

using namespace velmora::tools;

int refuse(std::ostream& err, const std::string& why) {
    err << "velmora-jigctl: diff-mem: " << why << "\n";
    return kExitUsage;
}

// The differences, printed or as the document; cmp's exit status.
int reportDifferences(const MemoryImage& first, const MemoryImage& second, nlohmann::json* json, std::ostream& out,
                      std::ostream& err) {
    const auto compared = compareImages(first, second);
    if (const auto* refusal = std::get_if<std::string>(&compared)) return refuse(err, *refusal);
    const auto& differences = std::get<std::vector<ByteDifference>>(compared);
    if (json) {
        nlohmann::json list = nlohmann::json::array();
        for (const ByteDifference& d : differences) {
            list.push_back({{"page", d.location / 256}, {"address", d.location % 256}, {"old", d.before}, {"new", d.after}});
        }
        *json = {{"equal", differences.empty()}, {"compared", first.bytes.size()}, {"differences", list}};
    } else {
        for (const ByteDifference& d : differences) out << differenceText(d) << "\n";
    }
    return differences.empty() ? kExitSuccess : kExitOperationFailed;
}

std::variant<MemoryImage, std::string> readImage(const std::string& path) { return readMemoryFile(path); }

class CommandLineAsker : public BackupAsker {
public:
    explicit CommandLineAsker(const std::function<void(int, int)>& progress) : progress_(progress) {}
    BackupChoice offer(const BackupOffer&) override { return BackupChoice::BackUp; }
    void progress(int done, int total) override {
        if (progress_) progress_(done, total);
    }
    void failed(std::string_view why) override { failure_ = std::string(why); }
    const std::string& failure() const { return failure_; }

private:
    const std::function<void(int, int)>& progress_;
    std::string failure_;
};

}  // namespace

int listBackupsCommand(nlohmann::json* json, std::ostream& out, std::ostream& err) {
    const std::string root = backupsFolder(platform::userDataHome());
    if (root.empty()) {
        err << "velmora-jigctl: backups: there is no folder for backups: neither XDG_DATA_HOME nor HOME is set\n";
        return kExitOperationFailed;
    }
    const auto entries = listBackups(root);
    if (json) {
        *json = nlohmann::json::array();
        for (const BackupEntry& e : entries) {
            json->push_back({{"monitor", e.monitor}, {"date", e.date}, {"pages", e.pages}, {"size", e.size},
                             {"folder", e.folder}});
        }
        return kExitSuccess;
    }
    if (entries.empty()) {
        out << "no backups in " << root << "\n";
        return kExitSuccess;
    }
    for (const BackupEntry& e : entries) {
        out << e.monitor << "  " << e.date << "  " << e.pages << " pages  " << e.size << " bytes  " << e.folder << "\n";
    }
    return kExitSuccess;
}

int diffFilesCommand(const Invocation& invocation, nlohmann::json* json, std::ostream& out, std::ostream& err) {
    auto first = readImage(invocation.file);
    if (const auto* refusal = std::get_if<std::string>(&first)) return refuse(err, invocation.file + ": " + *refusal);
    auto second = readImage(invocation.secondFile);
    if (const auto* refusal = std::get_if<std::string>(&second)) {
        return refuse(err, invocation.secondFile + ": " + *refusal);
    }
    return reportDifferences(std::get<MemoryImage>(first), std::get<MemoryImage>(second), json, out, err);
}

int diffMonitorCommand(const Invocation& invocation, session::ProgramContext& program, const ByteDone& byteDone,
                       nlohmann::json* json, std::ostream& out, std::ostream& err) {
    auto first = readImage(invocation.file);
    if (const auto* refusal = std::get_if<std::string>(&first)) return refuse(err, invocation.file + ": " + *refusal);
    const MemoryImage& file = std::get<MemoryImage>(first);
    probeEepromAccessMode(program.interpreter, program.link, program.flags);
    const auto bytes = readMemoryRange(program.interpreter, MemoryRange::fromLocations(file.start, file.end), byteDone);
    if (!bytes) return refuse(err, "the monitor's memory could not be read over the file's range");
    return reportDifferences(file, MemoryImage{file.start, file.end, *bytes}, json, out, err);
}

bool backupBeforeWrite(const Invocation& invocation, session::ProgramContext& program,
                       const std::function<void(int, int)>& progress, std::ostream& err) {
    if (invocation.noBackup) return true;
    BackupGate gate(backupsFolder(platform::userDataHome()), [] { return std::time(nullptr); });
    CommandLineAsker asker(progress);
    if (gate.beforeWrite(program.interpreter, program.link, program.clock, program.model.modelName, asker)) {
        if (!gate.lastBackupFolder().empty()) err << "velmora-jigctl: backup of the EEPROM in " << gate.lastBackupFolder() << "\n";
        return true;
    }
    err << "velmora-jigctl: " << invocation.commandName << ": no backup of the EEPROM could be made ("
        << asker.failure() << "), so nothing was written; --no-backup writes without one\n";
    return false;
}

}  // namespace velmora::apps::jigctl
