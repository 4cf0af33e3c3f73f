// The seam through which the window shows every message box and file or
// directory dialog. The program installs nothing and gets the Qt dialogs;
// tests install their own implementation, which records what would have been
// shown and answers at once (a modal dialog would block an offscreen test).
#pragma once

#include <QString>

class QWidget;

namespace kestrova {

class UserDialogs {
public:
    enum class Kind { Information, Warning, Error };

    virtual ~UserDialogs() = default;

    // A message box with a single OK button.
    virtual void Message(QWidget* parent, Kind kind, const QString& text) = 0;
    // A question with Yes and No buttons; true for Yes.
    virtual bool Question(QWidget* parent, const QString& text) = 0;
    // The directory the user chose, or an empty string when cancelled.
    virtual QString ExistingDirectory(QWidget* parent, const QString& caption,
                                      const QString& start) = 0;
    // The file name to save to, or an empty string when cancelled.
    virtual QString SaveFileName(QWidget* parent, const QString& caption, const QString& proposed,
                                 const QString& filter) = 0;
    // The file name to open, or an empty string when cancelled.
    virtual QString OpenFileName(QWidget* parent, const QString& caption, const QString& start,
                                 const QString& filter) = 0;

    // The dialogs in use: the installed ones, or else the Qt dialogs.
    static UserDialogs& Current();
    // Installs dialogs (not owned; nullptr restores the Qt dialogs). The
    // installed object must outlive every window that uses it.
    static void Install(UserDialogs* dialogs);
};

} // namespace kestrova
