#pragma once
#include <QString>

#include "platform/file_chooser.h"

class QFileDialog;

namespace velmora::platform::qt {

// The open-file dialog over the active window. Existing and new names may
// be chosen (the save dialogs use it to pick their target as well).
class QtFileChooser : public FileChooser {
public:
    std::optional<std::string> chooseOpenFile(const std::string& title,
                                              const std::string& initialName,
                                              const std::string& defaultExtension) override;
};

// Sets a dialog up as chooseOpenFile uses it. An initial name with a
// wildcard ("*.mem") becomes the name filter, any other the preselected
// file; the default extension is added to a typed name without one.
void configureOpenFileDialog(QFileDialog& dialog, const QString& title, const QString& initialName,
                             const QString& defaultExtension);

}  // namespace velmora::platform::qt
