#include "dialogfilechooser.h"

#include <QFileDialog>

namespace kova {

QStringList DialogFileChooser::filtersFor(FileRequest::Mode mode)
{
    if (mode == FileRequest::Mode::SavePdf)
        return {QStringLiteral("PDF files (*.pdf)")};
    QStringList filters{QStringLiteral("Policy Template Files (*.adm)")};
    if (mode == FileRequest::Mode::Open)
        filters << QStringLiteral("Registry files (*.reg)") << QStringLiteral("ADMX files (*.admx)");
    return filters;
}

QString DialogFileChooser::chooseFile(const FileRequest &request)
{
    QFileDialog dialog(m_parent, request.title);
    if (request.mode == FileRequest::Mode::Folder) {
        dialog.setFileMode(QFileDialog::Directory);
        dialog.setOption(QFileDialog::ShowDirsOnly, true);
        if (!request.proposedName.isEmpty())
            dialog.setDirectory(request.proposedName);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return QString();
        return dialog.selectedFiles().constFirst();
    }
    const QStringList filters = filtersFor(request.mode);
    dialog.setNameFilters(filters);
    dialog.selectNameFilter(filters.first());
    dialog.setOption(QFileDialog::ReadOnly, false);
    if (request.mode == FileRequest::Mode::Open) {
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::ExistingFile);
    } else {
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setDefaultSuffix(request.mode == FileRequest::Mode::SavePdf ? QStringLiteral("pdf")
                                                                           : QStringLiteral("adm"));
    }
    if (!request.proposedName.isEmpty())
        dialog.selectFile(request.proposedName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().constFirst();
}

} // namespace kova
