// TPageHost: what a page of the main window may ask of the window that holds
// it: the shared state (LinkState), the link (TLinkController), the
// settings file, the palette, the messages and the safe file writes. Pages
// know the window only through this interface, and one another not at all.
#pragma once

#include "app/LinkController.h"
#include "app/LinkState.h"

class QByteArray;
class QString;

namespace kestrova {

class TPageHost {
public:
    virtual LinkState& State() = 0;
    // The link: its inputs, its calculation and its results.
    virtual TLinkController& Link() = 0;
    // The terrain palette of that type (CPalette's types) is chosen.
    virtual void SetPalette(int type) = 0;
    virtual void SaveInitButtonClick() = 0; // the settings file
    virtual void RESETClick() = 0;
    // Writes a whole file safely; says "Could not save file!" on failure.
    virtual bool WriteFileSafely(const QString& fileName, const QByteArray& bytes) = 0;
    // Appends to a file without ever truncating it (a failed append leaves
    // it as it was); says "Could not save file!" on failure.
    virtual bool AppendToFileSafely(const QString& fileName, const QByteArray& bytes) = 0;
    virtual void Notify(const QString& text, bool error = false) = 0;
    // A line in the status bar: what a save, an export, a copy or a
    // change the user did not ask for has done.
    virtual void Status(const QString& text) = 0;

protected:
    ~TPageHost() = default;
};

} // namespace kestrova
