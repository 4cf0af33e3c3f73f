// THelpBrowser: the program's help pages (HTML compiled into the program),
// with a contents page and topics opened by keyword.
#pragma once

#include <QDialog>

class QTextBrowser;

namespace kestrova {

class THelpBrowser : public QDialog {
    Q_OBJECT
public:
    explicit THelpBrowser(QWidget* parent);

    // The page of a keyword ("Introduction", "Inputs", ...); an empty or
    // unknown keyword opens the contents page.
    void ShowTopic(const QString& keyword);
    QString CurrentTitle() const;

private:
    QTextBrowser* browser = nullptr;
};

} // namespace kestrova
