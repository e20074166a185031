#pragma once
#include <nlohmann/json.hpp>

#include <functional>
#include <ostream>
#include <string>

#include "apps/velmora-jigctl/jigctl_arguments.h"
#include "session/program_context.h"
#include "tools/backup_gate.h"

namespace velmora::apps::jigctl {

// The EEPROM's safekeeping on the command line: the backup before the first
// write to a monitor, the list of backups, and comparisons of memory images.

// `backups`: every complete backup under the user's backups folder, as a
// table or (with `json`) a list of {monitor, date, pages, size, folder}.
int listBackupsCommand(nlohmann::json* json, std::ostream& out, std::ostream& err);

// `diff-mem A B`: the bytes two memory image files hold differently. Exit
// status as cmp gives it: 0 equal, 1 different, 2 a file that cannot be
// read or ranges that differ.
int diffFilesCommand(const Invocation& invocation, nlohmann::json* json, std::ostream& out, std::ostream& err);

// `diff-mem A --monitor`: the file against what the monitor holds now over
// the file's range (read after the request-form probe).
int diffMonitorCommand(const Invocation& invocation, session::ProgramContext& program, const tools::ByteDone& byteDone,
                       nlohmann::json* json, std::ostream& out, std::ostream& err);

// The backup check before a writing command. Makes the backup when none
// exists for the monitor, with the progress line `progress` (done, total);
// false when it failed, after saying why on `err` (nothing was written).
// --no-backup skips it.
[[nodiscard]] bool backupBeforeWrite(const Invocation& invocation, session::ProgramContext& program,
                                     const std::function<void(int, int)>& progress, std::ostream& err);

}  // namespace velmora::apps::jigctl
