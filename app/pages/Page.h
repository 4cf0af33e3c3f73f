// TPage: one page of the main window's page control. A page builds and wires
// its own controls (each named as in the window's layout), owns the handlers
// of those controls, and reaches the shared state through its TPageHost. The
// window finds a page by its object name and calls PageShow whenever the
// page becomes the current one.
#pragma once

#include <QString>
#include <QWidget>

namespace kestrova {

class TPageHost;

class TPage : public QWidget {
    Q_OBJECT
public:
    TPage(TPageHost& pageHost, const char* objectName, const QString& tabCaption)
        : host(pageHost), caption(tabCaption) {
        setObjectName(QString::fromLatin1(objectName));
    }

    // The text of the page's tab.
    const QString& Caption() const { return caption; }
    // The page's "show" handler: runs each time the page is made current.
    virtual void PageShow() {}

protected:
    TPageHost& host;

private:
    QString caption;
};

} // namespace kestrova
