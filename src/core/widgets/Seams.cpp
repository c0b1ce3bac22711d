#include "core/widgets/Seams.h"

#include <QApplication>
#include <QClipboard>
#include <QFileDialog>

namespace {
FolderChooser& folderChooser()
{
    static FolderChooser current;
    return current;
}

ClipboardWriter& clipboardWriter()
{
    static ClipboardWriter current;
    return current;
}
}  // namespace

FolderChooser SetFolderChooser(FolderChooser chooser)
{
    FolderChooser previous = std::move(folderChooser());
    folderChooser() = std::move(chooser);
    return previous;
}

QString ChooseFolder(QWidget* parent, const QString& title)
{
    if (const FolderChooser& choose = folderChooser())
        return choose(parent, title);
    return QFileDialog::getExistingDirectory(parent, title, QString(), QFileDialog::ShowDirsOnly);
}

ClipboardWriter SetClipboardWriter(ClipboardWriter writer)
{
    ClipboardWriter previous = std::move(clipboardWriter());
    clipboardWriter() = std::move(writer);
    return previous;
}

void SetClipboardText(const QString& text)
{
    if (const ClipboardWriter& write = clipboardWriter()) {
        write(text);
        return;
    }
    if (QClipboard* clipboard = QApplication::clipboard())
        clipboard->setText(text);
}
