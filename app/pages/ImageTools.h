// What every chart and map of the window offers besides its own use: copy
// to the clipboard, and save as PNG or SVG from its context menu; the file
// dialogs that start in the folder last used; and the status-bar line that
// each save, export or copy leaves ("Saved coverage.kmz (93 kB)").
#pragma once

#include <QList>
#include <QString>

class QAction;
class QWidget;

namespace kestrova {

class TPageHost;

// Adds "Copy", "Save as PNG..." and "Save as SVG..." (the actions CopyImage,
// SavePng and SaveSvg) to the widget's context menu. fileStem names the
// file a save proposes ("terrain-map"); what names it in the status bar
// ("Chart", "Map").
void AddImageMenu(QWidget* widget, TPageHost& host, const QString& fileStem, const QString& what);
// The widget as a picture on the clipboard, said in the status bar.
void CopyImage(QWidget* widget, TPageHost& host, const QString& what);
// Writes the widget as it shows now to a PNG or, for a name ending in
// ".svg", an SVG file; false when the file could not be written.
bool SaveImage(QWidget* widget, const QString& fileName);

// A save dialog that starts in the folder last used (the proposal's file
// name there, unless the proposal names a folder of its own); the folder of
// the name chosen is remembered. Empty when cancelled.
QString ChooseSaveFile(TPageHost& host, QWidget* parent, const QString& caption,
                       const QString& proposed, const QString& filter);
// An open dialog that starts in the folder last used, else in start.
QString ChooseOpenFile(TPageHost& host, QWidget* parent, const QString& caption,
                       const QString& start, const QString& filter);
// "Saved coverage.kmz (93 kB)": the file's name and size as it is now.
QString SavedText(const QString& fileName);

} // namespace kestrova
