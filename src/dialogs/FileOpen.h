// The open dialog: picks an existing file from the folder, file and root lists, or from a name
// typed in its name box.
#pragma once

#include "dialogs/FileDialogBase.h"

namespace ombrix {

inline constexpr const char* kFileOpenCaption = "File Open";

class FileOpen : public FileDialogBase {
    Q_OBJECT
  public:
    // Loads the window: centred on the screen, opened in the folder of DlgPath. The choice
    // comes back in DlgPath, DlgFile and OpenCancelled; every showing applies DlgPattern.
    // roots: the list of Drive1 (by default the roots the user can reach).
    FileOpen(DialogExchange& dlg, Ui& ui, QWidget* parent = nullptr, const QStringList& roots = {});

  protected:
    void ok() override;
    std::string& cancelFlag() override { return m_dlg.OpenCancelled; }
    void showEvent(QShowEvent* event) override;

  private:
    void afterCancel() override;
    void typedText();
};

}  // namespace ombrix
