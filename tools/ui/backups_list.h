#pragma once
#include <QDialog>

#include <optional>
#include <string>
#include <vector>

#include "tools/eeprom_backup.h"

class QListWidget;

namespace velmora::tools::ui {

// "Backups": the page files of the EEPROM backups, newest first; Open (or a
// double click) hands the chosen file to Load File, Compare with Monitor
// has it compared with what the monitor holds.
class BackupsList : public QDialog {
    Q_OBJECT
public:
    BackupsList(const std::string& root, QWidget* parent = nullptr);

    struct Choice {
        std::string path;
        bool compare = false;  // compare with the monitor instead of loading
    };
    // The chosen file, or nothing when the list was closed without one.
    static std::optional<Choice> choose(QWidget* parent, const std::string& root);

    [[nodiscard]] const std::vector<BackupFile>& files() const { return files_; }
    [[nodiscard]] QListWidget& list() { return *list_; }
    [[nodiscard]] std::optional<std::string> chosen() const;

private:
    std::vector<BackupFile> files_;
    QListWidget* list_;
    bool compare_ = false;
};

}  // namespace velmora::tools::ui
