#include "platform/file_dialog.h"

#include "platform/cursor.h"
#include "platform/message_box.h"

#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QStringList>

namespace vellum::platform {

namespace {

QString FromUtf16(const std::u16string& text)
{
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

std::optional<std::filesystem::path> ShowFileDialog(const FileDialogRequest& request)
{
    if (ConsoleMode() || qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr) return std::nullopt;

    QFileDialog dialog(nullptr, FromUtf16(request.title), QFile::decodeName(request.directory.c_str()));
    dialog.setAcceptMode(request.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(request.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    // The handheld's save dialog does not ask before replacing a file;
    // scripts that care ask themselves.
    dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    QStringList filters;
    for (const std::u16string& filter : request.nameFilters) filters.push_back(FromUtf16(filter));
    if (!filters.isEmpty()) dialog.setNameFilters(filters);
    if (!request.fileName.empty()) dialog.selectFile(FromUtf16(request.fileName));

    // A blank pointer would leave a mouse user unable to work the dialog:
    // the dialog shows the system's own pointer instead of the program's.
    const CursorState previous = ReplaceCursor(CursorShape::Arrow);
    RestoreCursor(CursorShape::Arrow);
    const bool chosen = dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty();
    RestoreCursor(previous);
    if (!chosen) return std::nullopt;
    return std::filesystem::path(QFile::encodeName(dialog.selectedFiles().front()).toStdString());
}

} // namespace vellum::platform
