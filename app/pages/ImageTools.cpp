// Copy and save of charts and maps, and the file dialogs' folder (see
// ImageTools.h).
#include "app/pages/ImageTools.h"

#include "app/pages/PageHost.h"
#include "controls/UserDialogs.h"

#include <QAction>
#include <QClipboard>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPainter>
#include <QPixmap>
#include <QSvgGenerator>
#include <QWidget>

namespace kestrova {
namespace {

// The folder of a file chosen, for the next dialog (one that does not
// exist is not kept).
void Remember(TPageHost& host, const QString& chosen) {
    if (chosen.isEmpty()) return;
    const QFileInfo file(chosen);
    if (file.absoluteDir().exists())
        host.State().lastFolder =
            QDir::fromNativeSeparators(file.absolutePath()).toStdString() + "/";
}

void SaveAs(QWidget* widget, TPageHost& host, const QString& fileStem, const QString& what,
            bool svg) {
    const QString suffix = svg ? QStringLiteral("svg") : QStringLiteral("png");
    QString chosen = ChooseSaveFile(
        host, widget, QStringLiteral("Save %1 as %2").arg(what.toLower(), suffix.toUpper()),
        fileStem + u'.' + suffix,
        svg ? QStringLiteral("SVG images (*.svg);;All files (*)")
            : QStringLiteral("PNG images (*.png);;All files (*)"));
    if (chosen.isEmpty()) return; // cancelled
    if (QFileInfo(chosen).suffix().isEmpty()) chosen += u'.' + suffix;
    if (!SaveImage(widget, chosen)) {
        host.Notify(QStringLiteral("Could not save file! could not write \"%1\"").arg(chosen),
                    true);
        return;
    }
    host.Status(SavedText(chosen));
}

} // namespace

void AddImageMenu(QWidget* widget, TPageHost& host, const QString& fileStem, const QString& what) {
    widget->setContextMenuPolicy(Qt::ActionsContextMenu);
    auto* copy = new QAction(QStringLiteral("Copy"), widget);
    copy->setObjectName(QStringLiteral("CopyImage"));
    auto* png = new QAction(QStringLiteral("Save as PNG..."), widget);
    png->setObjectName(QStringLiteral("SavePng"));
    auto* svg = new QAction(QStringLiteral("Save as SVG..."), widget);
    svg->setObjectName(QStringLiteral("SaveSvg"));
    QObject::connect(copy, &QAction::triggered, widget,
                     [widget, &host, what] { CopyImage(widget, host, what); });
    QObject::connect(png, &QAction::triggered, widget, [widget, &host, fileStem, what] {
        SaveAs(widget, host, fileStem, what, false);
    });
    QObject::connect(svg, &QAction::triggered, widget, [widget, &host, fileStem, what] {
        SaveAs(widget, host, fileStem, what, true);
    });
    widget->addActions({copy, png, svg});
}

void CopyImage(QWidget* widget, TPageHost& host, const QString& what) {
    QGuiApplication::clipboard()->setPixmap(widget->grab());
    host.Status(QStringLiteral("%1 copied to the clipboard").arg(what));
}

bool SaveImage(QWidget* widget, const QString& fileName) {
    if (QFileInfo(fileName).suffix().compare(QStringLiteral("svg"), Qt::CaseInsensitive) != 0)
        return widget->grab().save(fileName, "PNG");
    QSvgGenerator generator;
    generator.setFileName(fileName);
    generator.setSize(widget->size());
    generator.setViewBox(widget->rect());
    generator.setTitle(widget->objectName());
    generator.setDescription(QStringLiteral("Kestrova"));
    QPainter painter;
    if (!painter.begin(&generator)) return false;
    widget->render(&painter);
    return painter.end() && QFileInfo(fileName).size() > 0;
}

QString ChooseSaveFile(TPageHost& host, QWidget* parent, const QString& caption,
                       const QString& proposed, const QString& filter) {
    QString start = proposed;
    const std::string& folder = host.State().lastFolder;
    if (!folder.empty() && QFileInfo(proposed).fileName() == proposed)
        start = QString::fromStdString(folder) + proposed;
    const QString chosen = UserDialogs::Current().SaveFileName(parent, caption, start, filter);
    Remember(host, chosen);
    return chosen;
}

QString ChooseOpenFile(TPageHost& host, QWidget* parent, const QString& caption,
                       const QString& start, const QString& filter) {
    const std::string& folder = host.State().lastFolder;
    const QString chosen = UserDialogs::Current().OpenFileName(
        parent, caption, folder.empty() ? start : QString::fromStdString(folder), filter);
    Remember(host, chosen);
    return chosen;
}

QString SavedText(const QString& fileName) {
    const QFileInfo file(fileName);
    const qint64 bytes = file.size();
    const QString size = bytes < 1024 ? QStringLiteral("%1 bytes").arg(bytes)
                                      : QStringLiteral("%1 kB").arg((bytes + 512) / 1024);
    return QStringLiteral("Saved %1 (%2)").arg(file.fileName(), size);
}

} // namespace kestrova
