#pragma once

#include "document/filechooser.h"

class QWidget;

namespace kova {

// QFileDialog with the program's titles and filters.
class DialogFileChooser : public FileChooser
{
public:
    explicit DialogFileChooser(QWidget *parent = nullptr) : m_parent(parent) {}
    void setParent(QWidget *parent) { m_parent = parent; }
    QString chooseFile(const FileRequest &request) override;

    static QStringList filtersFor(FileRequest::Mode mode);

private:
    QWidget *m_parent;
};

} // namespace kova
