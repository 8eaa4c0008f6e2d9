#include "platform/files/file_dialog.h"

#include "platform/desktop/message_box.h"
#include "platform/qt_convert.h"
#include "platform/window/cursor.h"

#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QStringList>

namespace vellum::platform {

std::optional<std::filesystem::path> ShowFileDialog(const FileDialogRequest& request)
{
    if (ConsoleMode() || qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr) return std::nullopt;

    QFileDialog dialog(nullptr, ToQString(request.title), QFile::decodeName(request.directory.c_str()));
    dialog.setAcceptMode(request.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(request.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    // The handheld's save dialog does not ask before replacing a file;
    // scripts that care ask themselves.
    dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    QStringList filters;
    for (const std::u16string& filter : request.nameFilters) filters.push_back(ToQString(filter));
    if (!filters.isEmpty()) dialog.setNameFilters(filters);
    if (!request.fileName.empty()) dialog.selectFile(ToQString(request.fileName));

    bool chosen = false;
    {
        const SystemPointerScope systemPointer;
        chosen = dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty();
    }
    if (!chosen) return std::nullopt;
    return std::filesystem::path(QFile::encodeName(dialog.selectedFiles().front()).toStdString());
}

} // namespace vellum::platform
