// The save dialog: picks a folder and a file name to write, from the lists or typed as a name
// or a path. It neither asks before replacing a file nor adds an extension.
#pragma once

#include "dialogs/FileDialogBase.h"

namespace ombrix {

inline constexpr const char* kFileSaveCaption = "Save As";

class FileSave : public FileDialogBase {
    Q_OBJECT
  public:
    // Loads the window: centred over mainWindow (the parent's window when not given), opened
    // in the folder of DlgPath. The choice comes back in DlgPath, DlgFile and SaveCancelled.
    // Its file list shows every file; DlgPattern is not applied.
    FileSave(DialogExchange& dlg, Ui& ui, QWidget* parent = nullptr, QWidget* mainWindow = nullptr,
             const QStringList& roots = {});

  protected:
    void ok() override;
    std::string& cancelFlag() override { return m_dlg.SaveCancelled; }

  private:
    void typedText();
};

}  // namespace ombrix
